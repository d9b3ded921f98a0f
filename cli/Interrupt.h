#pragma once

#include "serial/Wakeup.h"

// Stop signals for the command-line tool: SIGINT (Ctrl+C), SIGTERM, SIGHUP (the terminal
// went away) and SIGPIPE (the reader of our output went away) each set a flag the running
// command checks, and signal the port's wake-up, which ends the wait in progress at once;
// the command then closes the port, restoring its line settings, and exits cleanly instead
// of being killed mid-frame. SIGPIPE caught also turns a write to a closed pipe into a
// failed write rather than the end of the process. A SIGHUP ignored by whoever started us
// (nohup) stays ignored.
// On Windows the console's Ctrl+C and Ctrl+Break count as SIGINT, and closing the console,
// logging off or shutting down as SIGHUP (SetConsoleCtrlHandler).
void InstallInterruptHandler(const CWakeup& wakeup);
bool Interrupted();
// The first stop signal that arrived; 0 while none has.
int InterruptSignal();

// The stop signals by their POSIX numbers, which every system reports and adds to 128 for
// the exit status.
inline constexpr int kStopHangup = 1;
inline constexpr int kStopInterrupt = 2;
inline constexpr int kStopBrokenPipe = 13;
inline constexpr int kStopTerminate = 15;
