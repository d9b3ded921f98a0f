// On Windows a COM number is the system's own name for the port: "\\.\COM<n>" goes to
// CreateFile as it is, and there are no links to follow.
#include "serial/ComPortMap.h"

std::optional<std::string> DeviceForComNumber(unsigned comNumber) {
    // Windows numbers ports from 1; the "\\.\" form reaches COM10 and above too.
    if (comNumber == 0 || comNumber > 255) return std::nullopt;
    return ComDeviceName(comNumber);
}

std::string FinalPath(const std::string& path) { return path; }

std::optional<std::string> LinkText(const std::string&) { return std::nullopt; }

std::optional<std::string> ResolvePortName(const std::string& name) { return name; }
