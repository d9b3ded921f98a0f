#include <windows.h>

#include <cstdio>

#include "troubleshooter/CallerConsole.h"

namespace {

// A stream the caller redirected (a file, a pipe) is left where it goes.
bool HasStream(DWORD which) {
    const HANDLE handle = GetStdHandle(which);
    return handle != nullptr && handle != INVALID_HANDLE_VALUE &&
           GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

}  // namespace

void UseCallersConsole() {
    const bool hasOut = HasStream(STD_OUTPUT_HANDLE);
    const bool hasErr = HasStream(STD_ERROR_HANDLE);
    if (hasOut && hasErr) return;
    // Started from Explorer or by Tralvo there is no console to attach to, and none is made.
    if (!AttachConsole(ATTACH_PARENT_PROCESS)) return;
    if (!hasOut) std::freopen("CONOUT$", "w", stdout);
    if (!hasErr) std::freopen("CONOUT$", "w", stderr);
}
