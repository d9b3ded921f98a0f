#pragma once

#include "version/ProgramOutput.h"  // kExitIoError (EX_IOERR), shared by every program

// Exit statuses of tralvo-cli, for scripts and production lines.
inline constexpr int kExitPassed = 0;
inline constexpr int kExitFailed = 1;         // "Test Failed" (or another command's failure)
inline constexpr int kExitPortError = 2;      // the port did not open, or stopped working
inline constexpr int kExitInterrupted = 130;  // poll ended by Ctrl+C (128 + SIGINT)
inline constexpr int kExitUsage = 64;         // a command line that cannot be used (EX_USAGE)
inline constexpr int kExitSignalBase = 128;   // plus the signal that ended the run
