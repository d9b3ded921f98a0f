#pragma once

// While one lives, the toolkit's fatal message for a window it cannot show (no display, no
// platform plugin) ends the program with the usage and exit status 64 (EX_USAGE) instead of
// an abort and a core dump: the window was asked for where there is no display, and
// --report is the way there. Other messages go where they went before.
class DisplayMissingExit {
public:
    DisplayMissingExit();
    ~DisplayMissingExit();
    DisplayMissingExit(const DisplayMissingExit&) = delete;
    DisplayMissingExit& operator=(const DisplayMissingExit&) = delete;
};

// The exit status for a command line that cannot be used here (EX_USAGE).
inline constexpr int kExitUsage = 64;
