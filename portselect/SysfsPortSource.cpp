#include "portselect/SysfsPortSource.h"

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <utility>

#include "serial/ComPortMap.h"

namespace {

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

// ttyS<n>: the 8250 driver's ports.
bool IsLegacyUart(const std::string& name) {
    return name.size() > 4 && name.starts_with("ttyS") && name[4] >= '0' && name[4] <= '9';
}

// What sysfs tells of the USB device and interface a tty hangs off, and its driver.
void ReadDeviceProperties(const std::string& ttyFolder, DeviceProperties& properties) {
    const std::string deviceLink = ttyFolder + "/device";
    if (const auto device = CanonicalPath(deviceLink)) {
        std::string folder = *device;
        for (int depth = 0; depth < kInterfaceSearchDepth && folder != "/"; ++depth) {
            if (Exists(folder + "/bInterfaceNumber")) {  // a USB interface
                const std::string usbDevice = ParentFolder(folder);
                properties["ID_BUS"] = "usb";
                properties["TRALVO_INTERFACE"] = ReadAttribute(folder + "/interface");
                properties["TRALVO_PRODUCT"] = ReadAttribute(usbDevice + "/product");
                properties["TRALVO_MANUFACTURER"] = ReadAttribute(usbDevice + "/manufacturer");
                properties["TRALVO_SERIAL"] = ReadAttribute(usbDevice + "/serial");
                properties["ID_VENDOR_ID"] = ReadAttribute(usbDevice + "/idVendor");
                properties["ID_MODEL_ID"] = ReadAttribute(usbDevice + "/idProduct");
                break;
            }
            folder = ParentFolder(folder);
        }
    }
    if (const auto driver = CanonicalPath(deviceLink + "/driver")) {
        properties["TRALVO_DRIVER"] = BaseName(*driver);
    }
}

// The links udev made under <dev root>/serial, by what they lead to.
std::multimap<std::string, std::string> SerialLinks(const std::string& devRoot) {
    std::multimap<std::string, std::string> links;
    for (const char* kind : {"by-id", "by-path"}) {
        const std::string folder = devRoot + "/serial/" + kind;
        std::error_code error;
        const auto entries = FolderEntries(folder, error);
        if (!entries) continue;
        for (const std::string& name : *entries) {
            const std::string link = folder + "/" + name;
            links.emplace(FinalPath(link), link);
        }
    }
    return links;
}

}  // namespace

SysfsPortSource::SysfsPortSource(std::string ttyClassFolder, std::string devRoot,
                                 NumberAssignment assignment)
    : m_ttyClassFolder(std::move(ttyClassFolder)),
      m_devRoot(std::move(devRoot)),
      m_assignment(assignment) {}

bool SysfsPortSource::ReadPorts(std::vector<PortRecord>& ports) const {
    std::vector<SerialDevice> devices;
    const bool complete = ReadDevices(devices);
    // Virtual ports do not depend on sysfs: list them even when it could not be read.
    AppendPortRecords(devices, m_assignment, ports);
    return complete;
}

bool SysfsPortSource::ReadDevices(std::vector<SerialDevice>& devices) const {
    std::error_code error;
    const auto entries = FolderEntries(m_ttyClassFolder, error);
    // Without a tty class there are no tty devices; any other failure is one.
    if (!entries) return error == std::errc::no_such_file_or_directory;
    const auto serialLinks = SerialLinks(m_devRoot);
    std::map<unsigned, SerialDevice> byNumber;
    for (const std::string& name : *entries) {
        const auto number = ComNumberForDevice("/dev/" + name);
        const std::string folder = m_ttyClassFolder + "/" + name;
        if (!number || !Exists(folder + "/device")) continue;
        if (IsLegacyUart(name) && IsPhantomUart(folder)) continue;
        DeviceProperties properties;
        properties["DEVNAME"] = m_devRoot + "/" + name;
        ReadDeviceProperties(folder, properties);
        std::string devLinks;
        const auto [first, last] = serialLinks.equal_range(FinalPath(properties["DEVNAME"]));
        for (auto it = first; it != last; ++it)
            devLinks += (devLinks.empty() ? "" : " ") + it->second;
        properties["DEVLINKS"] = devLinks;
        byNumber.emplace(*number, SerialDeviceFromProperties(name, properties));
    }
    for (auto& [number, device] : byNumber) devices.push_back(std::move(device));
    return !error;
}
