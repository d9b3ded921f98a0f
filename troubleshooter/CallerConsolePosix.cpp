#include "troubleshooter/CallerConsole.h"

// The terminal's streams are the program's own.
void UseCallersConsole() {}
