#pragma once

#include "serial/Wakeup.h"

// Stop signals for the command-line tool: SIGINT (Ctrl+C), SIGTERM, SIGHUP (the terminal
// went away) and SIGPIPE (the reader of our output went away) each set a flag the running
// command checks, and signal the port's wake-up, which ends the wait in progress at once;
// the command then closes the port, restoring its line settings, and exits cleanly instead
// of being killed mid-frame. SIGPIPE caught also turns a write to a closed pipe into a
// failed write rather than the end of the process. A SIGHUP ignored by whoever started us
// (nohup) stays ignored.
void InstallInterruptHandler(const CWakeup& wakeup);
bool Interrupted();
// The first stop signal that arrived; 0 while none has.
int InterruptSignal();
