#pragma once

// Makes the command line's answers (--help, --version, --report) reach the console the
// program was started from. A Windows program with a window has no console of its own.
void UseCallersConsole();
