#include "serial/ComNumberText.h"

#include <charconv>
#include <cstdlib>
#include <string_view>
#include <system_error>

namespace {

constexpr std::string_view kCom = "COM";
constexpr std::string_view kDevicePrefix = "\\\\.\\";
// The main window keeps a port number in 8 bits.
constexpr unsigned kHighestPort = 255;

bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool StartsWithComIgnoringCase(std::string_view text) {
    auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
    return text.size() >= kCom.size() && upper(text[0]) == kCom[0] && upper(text[1]) == kCom[1] &&
           upper(text[2]) == kCom[2];
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && IsSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsSpace(text.back())) text.remove_suffix(1);
    return text;
}

}  // namespace

std::string PortTextFromNumber(unsigned number) {
    return std::string(kCom) + std::to_string(number);
}

std::string ComDeviceName(unsigned number) {
    return std::string(kDevicePrefix) + PortTextFromNumber(number);
}

uint8_t PortNumberFromText(const std::string& text) {
    if (text.size() <= kCom.size()) return 0;
    // atoi's reading, in arithmetic modulo 256: that is exactly the low 8 bits of the
    // number, and texts of any length cannot overflow.
    size_t i = kCom.size();
    while (i < text.size() && IsSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    uint8_t value = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        value = static_cast<uint8_t>(value * 10 + (text[i] - '0'));
    }
    return negative ? static_cast<uint8_t>(-value) : value;
}

uint32_t ListedPortNumber(const std::string& text) {
    if (!text.starts_with(kCom)) return 0;
    const char* digits = text.c_str() + kCom.size();
    char* end = nullptr;
    // 64 bits on every system, so Windows' 32-bit long wraps the way Linux' does.
    const unsigned long long value = std::strtoull(digits, &end, 10);
    return end == digits ? 0 : static_cast<uint32_t>(value);
}

std::optional<uint8_t> TypedPortNumber(const std::string& text) {
    std::string_view port = Trimmed(text);
    if (port.size() > kCom.size() && StartsWithComIgnoringCase(port))
        port.remove_prefix(kCom.size());
    if (port.empty()) return std::nullopt;
    unsigned number = 0;
    for (char c : port) {
        if (!IsDigit(c)) return std::nullopt;
        number = number * 10 + static_cast<unsigned>(c - '0');
        // Checked on every digit, so no text can overflow on its way to the range check.
        if (number > kHighestPort) return std::nullopt;
    }
    return static_cast<uint8_t>(number);
}

std::optional<unsigned> ExactPortNumber(const std::string& name) {
    if (!name.starts_with(kCom)) return std::nullopt;
    unsigned number = 0;
    const char* first = name.data() + kCom.size();
    const char* last = name.data() + name.size();
    const auto [end, error] = std::from_chars(first, last, number);
    // Written back, the number must give the name again: no leading zeros, no sign.
    if (error != std::errc() || end != last || number < 1 || number > kHighestPort ||
        PortTextFromNumber(number) != name) {
        return std::nullopt;
    }
    return number;
}

std::optional<unsigned> ComDeviceNumber(const std::string& name) {
    if (!name.starts_with(kDevicePrefix)) return std::nullopt;
    return ExactPortNumber(name.substr(kDevicePrefix.size()));
}
