#include "serial/ComPortMap.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string_view>

namespace {

struct FixedRange {
    unsigned firstCom;
    unsigned count;
    const char* devicePrefix;
};
// Every number stays below 256 (the window keeps 8 bits); 97-98 stay free, 99 means "no
// port chosen", and 200-255 are left to the links of simulators and the user's own.
constexpr FixedRange kFixedRanges[] = {
    {1, 32, "/dev/ttyS"},        // on-board and PCI UARTs (8250)
    {33, 32, "/dev/ttyUSB"},     // USB serial converters (FTDI, CH340, CP210x, PL2303, ...)
    {65, 32, "/dev/ttyACM"},     // USB CDC-ACM modems
    {100, 32, "/dev/rfcomm"},    // Bluetooth serial links
    {132, 16, "/dev/ttyAMA"},    // ARM PL011 UARTs: Raspberry Pi GPIO header, Pi 5 debug port
    {148, 16, "/dev/ttyXRUSB"},  // Exar/MaxLinear USB UARTs, vendor driver (xr_usb_serial)
    {164, 16, "/dev/ttyMXUSB"},  // Moxa UPort USB hubs, vendor driver (mxuport)
    {180, 8, "/dev/ttySC"},      // NXP SC16IS7xx SPI/I2C UARTs (RS-485/RS-232 HATs)
    {188, 8, "/dev/ttyTHS"},     // NVIDIA Tegra/Jetson high-speed UARTs
    {196, 4, "/dev/ttymxc"},     // NXP i.MX UARTs
};

bool Exists(const std::string& path) {
    struct stat info {};
    return lstat(path.c_str(), &info) == 0;  // a dangling link exists too
}

// Plain decimal digits without a leading zero, as "%d" writes them.
std::optional<unsigned> ParseDecimal(std::string_view digits) {
    if (digits.empty() || digits.size() > 9 || (digits.size() > 1 && digits[0] == '0')) {
        return std::nullopt;
    }
    unsigned value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    return value;
}

}  // namespace

std::string PortLinkPath(unsigned comNumber) {
    return PortLinksFolder() + "/" + PortTextFromNumber(comNumber);
}

std::optional<std::string> DeviceForComNumber(unsigned comNumber) {
    // A link that no longer leads anywhere is still the user's choice for this number: its
    // open fails, rather than silently reaching an unrelated fixed-range device.
    if (std::string link = PortLinkPath(comNumber); Exists(link)) return link;
    for (const FixedRange& range : kFixedRanges) {
        if (comNumber >= range.firstCom && comNumber < range.firstCom + range.count) {
            return range.devicePrefix + std::to_string(comNumber - range.firstCom);
        }
    }
    return std::nullopt;
}

std::optional<unsigned> ComNumberForDevice(const std::string& devicePath) {
    const std::string_view path(devicePath);
    for (const FixedRange& range : kFixedRanges) {
        const std::string_view prefix(range.devicePrefix);
        if (!path.starts_with(prefix)) continue;
        const auto index = ParseDecimal(path.substr(prefix.size()));
        if (index && *index < range.count) return range.firstCom + *index;
    }
    return std::nullopt;
}

std::optional<ComRange> ComRangeOfDevice(const std::string& devicePath) {
    const auto number = ComNumberForDevice(devicePath);
    if (!number) return std::nullopt;
    for (const FixedRange& range : kFixedRanges) {
        if (*number >= range.firstCom && *number < range.firstCom + range.count) {
            return ComRange{range.firstCom, range.firstCom + range.count - 1};
        }
    }
    return std::nullopt;
}

std::string PathUnderDevRoot(const std::string& devRoot, const std::string& systemPath) {
    constexpr std::string_view kDev = "/dev/";
    if (!std::string_view(systemPath).starts_with(kDev)) return systemPath;
    return devRoot + "/" + systemPath.substr(kDev.size());
}

std::string FinalPath(const std::string& path) {
    char* resolved = realpath(path.c_str(), nullptr);
    if (!resolved) return path;
    std::string result(resolved);
    std::free(resolved);
    return result;
}

std::optional<std::string> LinkText(const std::string& path) {
    std::string target(4096, '\0');
    const ssize_t length = readlink(path.c_str(), target.data(), target.size());
    if (length < 0 || static_cast<size_t>(length) >= target.size()) return std::nullopt;
    target.resize(static_cast<size_t>(length));
    return target;
}

std::optional<std::string> ResolvePortName(const std::string& name) {
    if (const auto number = ComDeviceNumber(name)) return DeviceForComNumber(*number);
    if (name.starts_with('/')) return name;
    return std::nullopt;
}
