#pragma once

#include "serial/Wakeup.h"

// Ctrl+C for the command-line tool: SIGINT (or SIGTERM) sets a flag the running command
// checks, and signals the port's wake-up, which ends the wait in progress at once; the
// command then closes the port and exits cleanly instead of being killed mid-frame.
void InstallInterruptHandler(const CWakeup& wakeup);
bool Interrupted();
