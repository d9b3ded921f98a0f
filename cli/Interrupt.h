#pragma once

// Ctrl+C for the command-line tool: the first SIGINT (or SIGTERM) sets a flag the running
// command checks between link transactions, so it can close the port and exit cleanly
// instead of being killed mid-frame.
void InstallInterruptHandler();
bool Interrupted();
