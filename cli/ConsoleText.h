#pragma once

// Makes the console show the UTF-8 that tralvo-cli writes (Chinese texts, the trace's
// "FF×5"). A terminal on Linux takes UTF-8 as it is; a Windows console shows its own code
// page unless told otherwise. Output to a file or pipe is the same bytes either way.
void PrepareConsoleText();
