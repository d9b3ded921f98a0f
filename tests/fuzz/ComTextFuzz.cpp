// libFuzzer entry: arbitrary text through the COM-text rules that turn what the user and the
// settings hold into port numbers and devices.
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "FuzzSupport.h"
#include "serial/ComPortMap.h"

namespace {

using fuzzsupport::Require;
using fuzzsupport::UseEmptyConfigHome;

// The text-to-number rule as the C library reads it: atoi from the fourth character on,
// low 8 bits. Nothing when the number is too long for the library to read it exactly.
bool ReferencePortNumber(const std::string& text, uint8_t& number) {
    if (text.size() < 4) {
        number = 0;
        return true;
    }
    errno = 0;
    const long long value = std::strtoll(text.c_str() + 3, nullptr, 10);
    if (errno == ERANGE) return false;
    number = static_cast<uint8_t>(value);
    return true;
}

void CheckTextToNumber(const std::string& text) {
    const uint8_t number = PortNumberFromText(text);
    if (uint8_t expected = 0; ReferencePortNumber(text, expected)) Require(number == expected);
}

void CheckNumberToText(uint8_t number) {
    const std::string text = PortTextFromNumber(number);
    Require(text == "COM" + std::to_string(number));
    Require(PortNumberFromText(text) == number);
}

// A device and its COM number lead to each other in the fixed ranges (no links exist).
void CheckDevice(const std::string& text) {
    if (const auto number = ComNumberForDevice(text)) {
        Require(DeviceForComNumber(*number) == text);
    }
}

void CheckNumberToDevice(unsigned number) {
    if (const auto device = DeviceForComNumber(number)) {
        Require(ComNumberForDevice(*device) == number);
    }
    // ttyS, ttyUSB, ttyACM: 1-96; rfcomm, ttyAMA, ttyXRUSB, ttyMXUSB, ttySC, ttyTHS, ttymxc:
    // 100-199.
    const bool inFixedRange = (number >= 1 && number <= 96) || (number >= 100 && number <= 199);
    Require(DeviceForComNumber(number).has_value() == inFixedRange);
}

// "\\.\COM<n>" opens what COM<n> maps to, but only when n is written as "%d" writes it;
// an absolute path opens itself; anything else opens nothing.
void CheckResolve(const std::string& digits) {
    const std::string name = "\\\\.\\COM" + digits;
    const auto resolved = ResolvePortName(name);
    const bool allDigits =
        !digits.empty() && digits.find_first_not_of("0123456789") == std::string::npos;
    const unsigned long value = allDigits ? std::strtoul(digits.c_str(), nullptr, 10) : 0;
    if (allDigits && digits.size() <= 9 && std::to_string(value) == digits) {
        Require(resolved == DeviceForComNumber(static_cast<unsigned>(value)));
    } else {
        Require(!resolved);
    }
}

void CheckAnyName(const std::string& text) {
    const auto resolved = ResolvePortName(text);
    if (!text.empty() && text[0] == '/') Require(resolved == text);
    if (text.rfind("\\\\.\\COM", 0) != 0 && (text.empty() || text[0] != '/')) Require(!resolved);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    UseEmptyConfigHome();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    CheckTextToNumber(text);
    CheckTextToNumber("COM" + text);
    CheckNumberToText(size > 0 ? data[0] : 0);
    CheckDevice(text);
    CheckDevice("/dev/" + text);
    unsigned number = 0;
    for (size_t i = 0; i < size && i < 4; ++i) number = number << 8 | data[i];
    CheckNumberToDevice(number % 300);
    CheckNumberToDevice(number);
    CheckResolve(text);
    CheckAnyName(text);
    return 0;
}
