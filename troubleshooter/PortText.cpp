#include "troubleshooter/PortText.h"

#include <cctype>

namespace {

constexpr unsigned kHighestPort = 255;

}  // namespace

std::optional<unsigned> ParseTypedPort(const std::string& text) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && std::isspace(static_cast<unsigned char>(text[begin]))) ++begin;
    while (end > begin && std::isspace(static_cast<unsigned char>(text[end - 1]))) --end;
    std::string port = text.substr(begin, end - begin);
    if (port.size() > 3 && (port[0] == 'C' || port[0] == 'c') &&
        (port[1] == 'O' || port[1] == 'o') && (port[2] == 'M' || port[2] == 'm')) {
        port.erase(0, 3);
    }
    // Three digits at most, so no text can overflow on its way to the range check.
    if (port.empty() || port.size() > 3 ||
        port.find_first_not_of("0123456789") != std::string::npos) {
        return std::nullopt;
    }
    const unsigned number = static_cast<unsigned>(std::stoul(port));
    if (number < 1 || number > kHighestPort) return std::nullopt;
    return number;
}
