#include "portselect/SysfsPortSource.h"

#include <sys/stat.h>

#include <charconv>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <utility>

#include "serial/ComPortMap.h"

namespace {

// The highest number a port can have: the main window keeps it in 8 bits.
constexpr unsigned kHighestPortNumber = 255;
// How far above a tty's device the USB interface may sit (ttyUSB: its usb-serial port,
// then the interface; ttyACM: the interface itself).
constexpr int kInterfaceSearchDepth = 3;

bool Exists(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0;
}

// The first line of a sysfs attribute, without trailing white space; empty when absent.
std::string ReadAttribute(const std::string& path) {
    std::ifstream file(path);
    std::string line;
    std::getline(file, line);
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t' || line.back() == '\r')) {
        line.pop_back();
    }
    return line;
}

std::string BaseName(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string ParentFolder(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos || slash == 0 ? std::string("/") : path.substr(0, slash);
}

std::optional<std::string> CanonicalPath(const std::string& path) {
    std::error_code error;
    std::filesystem::path resolved = std::filesystem::canonical(path, error);
    if (error) return std::nullopt;
    return resolved.string();
}

// The names of a folder's entries; nothing when it cannot be read.
std::optional<std::vector<std::string>> FolderEntries(const std::string& folder,
                                                      std::error_code& error) {
    std::filesystem::directory_iterator it(folder, error);
    if (error) return std::nullopt;
    std::vector<std::string> entries;
    for (; it != std::filesystem::directory_iterator(); it.increment(error)) {
        entries.push_back(it->path().filename().string());
    }
    return entries;
}

// The 8250 driver registers every legacy ttyS slot and reports the UART type of an
// empty one as 0 (unknown).
bool IsPhantomUart(const std::string& ttyFolder) {
    const std::string type = ReadAttribute(ttyFolder + "/type");
    return type == "0" || type == "unknown";
}

// What a Windows port list would call the device of one tty.
std::string DeviceDescription(const std::string& name, const std::string& ttyFolder) {
    if (name.starts_with("ttyS")) return "Communications Port";
    const std::string deviceLink = ttyFolder + "/device";
    if (const auto device = CanonicalPath(deviceLink)) {
        std::string folder = *device;
        for (int depth = 0; depth < kInterfaceSearchDepth && folder != "/"; ++depth) {
            if (Exists(folder + "/bInterfaceNumber")) {  // a USB interface
                if (std::string text = ReadAttribute(folder + "/interface"); !text.empty()) {
                    return text;
                }
                if (std::string text = ReadAttribute(ParentFolder(folder) + "/product");
                    !text.empty()) {
                    return text;
                }
                break;
            }
            folder = ParentFolder(folder);
        }
    }
    if (const auto driver = CanonicalPath(deviceLink + "/driver")) return BaseName(*driver);
    return name;
}

std::string WithComNumber(const std::string& description, unsigned number) {
    return description + " (COM" + std::to_string(number) + ")";
}

// The number of a link name "COM<n>", written as "COM%d" writes it.
std::optional<unsigned> LinkNumber(const std::string& name) {
    if (!name.starts_with("COM")) return std::nullopt;
    unsigned number = 0;
    const char* first = name.data() + 3;
    const char* last = name.data() + name.size();
    const auto [end, error] = std::from_chars(first, last, number);
    if (error != std::errc() || end != last || number > kHighestPortNumber ||
        "COM" + std::to_string(number) != name) {
        return std::nullopt;
    }
    return number;
}

}  // namespace

SysfsPortSource::SysfsPortSource(std::string ttyClassFolder)
    : m_ttyClassFolder(std::move(ttyClassFolder)) {}

bool SysfsPortSource::ReadFriendlyNames(std::vector<std::string>& names) const {
    const bool complete = ReadDevices(names);
    // Virtual ports do not depend on sysfs: list them even when it could not be read.
    ReadLinks(names);
    return complete;
}

bool SysfsPortSource::ReadDevices(std::vector<std::string>& names) const {
    std::error_code error;
    const auto entries = FolderEntries(m_ttyClassFolder, error);
    // Without a tty class there are no tty devices; any other failure is one.
    if (!entries) return error == std::errc::no_such_file_or_directory;
    std::map<unsigned, std::string> byNumber;
    for (const std::string& name : *entries) {
        const auto number = ComNumberForDevice("/dev/" + name);
        const std::string folder = m_ttyClassFolder + "/" + name;
        if (!number || !Exists(folder + "/device")) continue;
        if (name.starts_with("ttyS") && IsPhantomUart(folder)) continue;
        byNumber.emplace(*number, WithComNumber(DeviceDescription(name, folder), *number));
    }
    for (auto& [number, friendlyName] : byNumber) names.push_back(std::move(friendlyName));
    return !error;
}

void SysfsPortSource::ReadLinks(std::vector<std::string>& names) {
    std::error_code error;
    const std::string folder = PortLinksFolder();
    const auto entries = FolderEntries(folder, error);
    if (!entries) return;
    std::map<unsigned, std::string> byNumber;
    for (const std::string& name : *entries) {
        const auto number = LinkNumber(name);
        if (number && Exists(folder + "/" + name)) {  // a dangling link opens nothing
            byNumber.emplace(*number, WithComNumber("Virtual Serial Port", *number));
        }
    }
    for (auto& [number, friendlyName] : byNumber) names.push_back(std::move(friendlyName));
}

const IPortSource& SystemPortSource() {
    static const SysfsPortSource source;
    return source;
}
