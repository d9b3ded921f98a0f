#include "serial/SerialStatus.h"

#include <cerrno>
#include <cstring>

const SerialStatus kSerialNoModemLines = ENOTTY;

bool LacksModemLines(SerialStatus status) {
    return status == kSerialNoModemLines || status == EINVAL;
}

const char* PlatformErrorText(SerialStatus status) { return std::strerror(status); }
