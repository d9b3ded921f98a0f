// libFuzzer entry: arbitrary display names through the port chooser's parsing; arbitrary
// udev-style device properties through the naming of a device and the display name it
// gets; and a small fake sysfs tree with its /dev/serial links, named from the input,
// through the source that reads the machine's ports and numbers USB adapters.
//
// Input: a mode byte, then
//   mode % 16 == 1:     a tree: count byte, then per tty a kind byte, an index byte and texts
//   mode % 16 in 2..5:  properties: a tty name text, a COM number byte, then pairs of a key
//                       byte (one of kKeys, or the text that follows as the key) and a value
//   otherwise:          display names, each up to a 0 byte
#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "portselect/PortEnumeration.h"
#include "portselect/PortNumbering.h"
#include "portselect/SerialDevice.h"
#include "portselect/SysfsPortSource.h"
#include "serial/ComPortMap.h"
#include "tests/portselect/FakePortSource.h"
#include "tests/portselect/FakeSysfs.h"
#include "tests/serial/FakeConsoles.h"

namespace {

using fuzzsupport::Require;
using fuzzsupport::UseEmptyConfigHome;

class Input {
public:
    Input(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}
    bool Empty() const { return m_pos >= m_size; }
    uint8_t Byte() { return Empty() ? 0 : m_data[m_pos++]; }
    // Text up to the next 0 byte (or the end).
    std::string Text() {
        std::string text;
        while (!Empty() && m_data[m_pos] != 0) text += static_cast<char>(m_data[m_pos++]);
        ++m_pos;
        return text;
    }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_pos = 0;
};

size_t Characters(const std::string& text) {
    return static_cast<size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

std::string Lower(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

// The rules EnumeratePorts promises for any names.
void CheckEnumeration(const std::vector<std::string>& names, const ConsoleRoots& noConsoles) {
    const PortEnumeration unsorted = EnumeratePorts(FakePortSource(names, false), noConsoles);
    const PortEnumeration sorted = EnumeratePorts(FakePortSource(names, true), noConsoles);
    Require(!unsorted.complete && sorted.complete);
    Require(unsorted.entries.size() <= names.size());
    std::set<std::string> seen;
    for (const PortEntry& entry : unsorted.entries) {
        Require(entry.text.starts_with("COM"));
        Require(entry.text.find_first_of("()") == std::string::npos);
        Require(Characters(entry.text) <= 99);
        Require(seen.insert(Lower(entry.text)).second);
        Require(entry.devicePath ==
                DeviceForComNumber(PortNumberFromText(entry.text)).value_or(""));
    }
    // A complete enumeration is the same entries ordered by number, ties kept in order.
    std::vector<PortEntry> expected = unsorted.entries;
    std::stable_sort(expected.begin(), expected.end(),
                     [](const PortEntry& a, const PortEntry& b) { return a.number < b.number; });
    Require(sorted.entries.size() == expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        Require(sorted.entries[i].text == expected[i].text);
    }
}

bool CleanText(const std::string& text) {
    if (text.empty()) return true;
    if (text.front() == ' ' || text.back() == ' ') return false;
    return std::none_of(text.begin(), text.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 || byte == 0x7F;
    });
}

// What a device's properties make of it, and the display name that makes of it: whatever
// the strings, the chooser reads that name as exactly COM<n>.
void CheckProperties(Input& in, const ConsoleRoots& noConsoles) {
    static const char* const kKeys[] = {"DEVNAME",
                                        "DEVLINKS",
                                        "ID_BUS",
                                        "ID_MODEL",
                                        "ID_MODEL_ENC",
                                        "ID_MODEL_ID",
                                        "ID_MODEL_FROM_DATABASE",
                                        "ID_VENDOR",
                                        "ID_VENDOR_ENC",
                                        "ID_VENDOR_ID",
                                        "ID_VENDOR_FROM_DATABASE",
                                        "ID_SERIAL_SHORT",
                                        "ID_USB_DRIVER",
                                        "TRALVO_PRODUCT",
                                        "TRALVO_MANUFACTURER",
                                        "TRALVO_SERIAL",
                                        "TRALVO_INTERFACE",
                                        "TRALVO_DRIVER"};
    constexpr size_t kKeyCount = sizeof(kKeys) / sizeof(kKeys[0]);
    const std::string name = in.Text();
    const unsigned number = in.Byte();
    DeviceProperties properties;
    while (!in.Empty()) {
        const uint8_t key = in.Byte();
        std::string keyText = key < kKeyCount ? kKeys[key] : in.Text();
        properties[keyText] = in.Text();
    }
    const SerialDevice device = SerialDeviceFromProperties(name, properties);
    const PortDetails& details = device.details;
    Require(device.name == name);
    Require(device.node.starts_with('/'));
    for (const std::string* text : {&details.title, &details.product, &details.manufacturer,
                                    &details.serial, &details.driver, &details.usbId}) {
        Require(CleanText(*text));
    }
    Require(details.byId.empty() || details.byId.find("/serial/by-id/") != std::string::npos);
    Require(device.byPath.empty() || device.byPath.find("/serial/by-path/") != std::string::npos);
    Require(details.byId.find(' ') == std::string::npos);
    Require(details.device.empty());
    for (const auto& [key, value] : properties)
        Require(DecodeUdevText(value).size() <= value.size());

    const std::string friendlyName = FriendlyName(details.title, number);
    const PortEnumeration ports =
        EnumeratePorts(FakePortSource::WithRecords({{friendlyName, details}}), noConsoles);
    Require(ports.entries.size() == 1);
    Require(ports.entries[0].text == "COM" + std::to_string(number));
    Require(ports.entries[0].number == number);
    Require(ports.entries[0].details.title == details.title);
    Require(ports.entries[0].details.serial == details.serial);
    const std::string description = PortDescription(ports.entries[0].details);
    Require(description.find('\n') == std::string::npos &&
            description.find('\t') == std::string::npos);
}

// A by-id name from the input that is one file name.
std::string FileName(const std::string& text) {
    std::string name;
    for (char c : text.substr(0, 100)) {
        if (c != '/') name += c;
    }
    return name == "." || name == ".." ? std::string() : name;
}

// A few ttys of a fake class folder; their names, kinds and texts come from the input.
void CheckSysfsSource(Input& in, const ConsoleRoots& noConsoles) {
    static const char* const kPrefixes[] = {"ttyS", "ttyUSB", "ttyACM", "rfcomm", "tty", "ttyAMA"};
    static const char* const kDrivers[] = {"", "ftdi_sio", "cdc_acm", "serial8250"};
    FakeSysfs sysfs;
    std::set<std::string> ttys;
    std::set<unsigned> expectedNumbers;
    for (int count = in.Byte() % 5; count > 0 && !in.Empty(); --count) {
        const uint8_t kind = in.Byte();
        const uint8_t index = in.Byte();
        std::string tty = kPrefixes[kind % 6];
        if (kind & 0x80) tty += '0';  // a leading zero: in no COM range
        tty += std::to_string(index % 40);
        if (!ttys.insert(tty).second) continue;
        const auto number = ComNumberForDevice("/dev/" + tty);
        switch ((kind >> 3) % 4) {
            case 0:
                sysfs.AddUart(tty, in.Text());
                continue;  // an 8250 slot may be an empty one
            case 1:
                if (kind & 0x40) {  // an adapter with its /dev/serial links
                    FakeSysfs::UsbAdapter adapter;
                    adapter.product = in.Text();
                    adapter.serial = in.Text();
                    adapter.byId = FileName(in.Text());
                    adapter.byPath = FileName(in.Text());
                    sysfs.AddUsbAdapter(tty, adapter);
                } else {
                    sysfs.AddUsbSerial(tty, in.Text(), in.Text());
                }
                break;
            case 2:
                sysfs.AddAcm(tty, in.Text(), in.Text());
                break;
            default:
                sysfs.AddOther(tty, kDrivers[in.Byte() % 4]);
                break;
        }
        if (number) expectedNumbers.insert(*number);
    }
    // Listing alone, then giving numbers, then listing again: with an empty ports folder every
    // adapter is given the number of its place in the kernel's order, so all three agree.
    std::vector<std::string> listedOnly, names, again;
    Require(SysfsPortSource(sysfs.ClassFolder(), sysfs.DevFolder(), NumberAssignment::ListOnly)
                .ReadFriendlyNames(listedOnly));
    Require(!std::filesystem::exists(PortLinksFolder()));
    Require(SysfsPortSource(sysfs.ClassFolder(), sysfs.DevFolder()).ReadFriendlyNames(names));
    Require(SysfsPortSource(sysfs.ClassFolder(), sysfs.DevFolder()).ReadFriendlyNames(again));
    Require(listedOnly == names && names == again);
    // Devices in number order, each named "<description> (COM<n>)"; a description that is
    // nothing but brackets leaves "(COM<n>)" alone.
    std::vector<unsigned> listed;
    for (const std::string& name : names) {
        const size_t open = name.rfind("(COM");
        Require(open != std::string::npos && name.back() == ')');
        Require(open == 0 || name[open - 1] == ' ');
        const std::string digits = name.substr(open + 4, name.size() - open - 5);
        const unsigned number = static_cast<unsigned>(std::strtoul(digits.c_str(), nullptr, 10));
        Require(ComNumberForDevice(DeviceForComNumber(number).value_or("")) == number ||
                DeviceForComNumber(number) == PortLinkPath(number));
        listed.push_back(number);
    }
    Require(std::is_sorted(listed.begin(), listed.end()));
    Require(std::adjacent_find(listed.begin(), listed.end()) == listed.end());
    for (unsigned number : expectedNumbers) {
        Require(std::find(listed.begin(), listed.end(), number) != listed.end());
    }
    CheckEnumeration(names, noConsoles);
    std::error_code ignored;
    std::filesystem::remove_all(PortLinksFolder(), ignored);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    UseEmptyConfigHome();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Only the fixed consoles (/dev/console, /dev/tty0), which no COM number maps to: every
    // rule then holds over every entry, whatever consoles the fuzzing machine has.
    static const FakeConsoles noConsoles;
    Input in(data, size);
    // A fake tree costs some milliseconds to lay out; names alone, a fraction of one. Only
    // one mode value in 16 builds a tree, so the parsing gets most of the runs.
    const uint8_t mode = in.Byte() % 16;
    if (mode == 1) {
        CheckSysfsSource(in, noConsoles.roots);
        return 0;
    }
    if (mode >= 2 && mode <= 5) {
        CheckProperties(in, noConsoles.roots);
        return 0;
    }
    std::vector<std::string> names;
    while (!in.Empty()) names.push_back(in.Text());
    CheckEnumeration(names, noConsoles.roots);
    return 0;
}
