// libFuzzer entry: arbitrary display names through the port chooser's parsing, and a small
// fake sysfs tree, named from the input, through the source that reads the machine's ports.
#include <algorithm>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "portselect/PortEnumeration.h"
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
                sysfs.AddUsbSerial(tty, in.Text(), in.Text());
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
    std::vector<std::string> names;
    Require(SysfsPortSource(sysfs.ClassFolder()).ReadFriendlyNames(names));
    // Devices in number order, each named "<description> (COM<n>)".
    std::vector<unsigned> listed;
    for (const std::string& name : names) {
        const size_t open = name.rfind(" (COM");
        Require(open != std::string::npos && name.back() == ')');
        const std::string digits = name.substr(open + 5, name.size() - open - 6);
        const unsigned number = static_cast<unsigned>(std::strtoul(digits.c_str(), nullptr, 10));
        Require(ComNumberForDevice(DeviceForComNumber(number).value_or("")) == number);
        listed.push_back(number);
    }
    Require(std::is_sorted(listed.begin(), listed.end()));
    Require(std::adjacent_find(listed.begin(), listed.end()) == listed.end());
    for (unsigned number : expectedNumbers) {
        Require(std::find(listed.begin(), listed.end(), number) != listed.end());
    }
    CheckEnumeration(names, noConsoles);
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
    if (in.Byte() % 16 == 1) {
        CheckSysfsSource(in, noConsoles.roots);
        return 0;
    }
    std::vector<std::string> names;
    while (!in.Empty()) names.push_back(in.Text());
    CheckEnumeration(names, noConsoles.roots);
    return 0;
}
