#include "troubleshooter/PortText.h"

#include "serial/ComNumberText.h"

std::optional<unsigned> ParseTypedPort(const std::string& text) {
    // Port 0 has no device: the checks could only fail on it.
    const auto number = TypedPortNumber(text);
    if (!number || *number == 0) return std::nullopt;
    return *number;
}
