#include "serial/SerialStatus.h"

#include <windows.h>

#include <cstdio>
#include <initializer_list>

const SerialStatus kSerialNoModemLines = ERROR_NOT_SUPPORTED;

// Some virtual and Bluetooth ports refuse the modem lines as a function they do not have.
bool LacksModemLines(SerialStatus status) {
    return status == kSerialNoModemLines || status == ERROR_INVALID_FUNCTION;
}

const char* PlatformErrorText(SerialStatus status) {
    thread_local char text[256];
    // English where the system has it, as the other status texts are; else its own language.
    DWORD length = 0;
    for (const DWORD language : {DWORD(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US)), DWORD(0)}) {
        length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                static_cast<DWORD>(status), language, text, sizeof text, nullptr);
        if (length != 0) break;
    }
    if (length == 0) {
        snprintf(text, sizeof text, "error %ld", static_cast<long>(status));
        return text;
    }
    // System texts end in a full stop and CR LF; the status texts here are bare phrases.
    DWORD end = length;
    while (end > 0 && (text[end - 1] == '\r' || text[end - 1] == '\n' || text[end - 1] == ' ' ||
                       text[end - 1] == '.')) {
        --end;
    }
    text[end] = '\0';
    return text;
}
