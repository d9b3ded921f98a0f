#include "cli/ConsoleText.h"

void PrepareConsoleText() {}
