#include <windows.h>

#include "cli/ConsoleText.h"

void PrepareConsoleText() {
    // Fails harmlessly without a console (output redirected, a service).
    SetConsoleOutputCP(CP_UTF8);
}
