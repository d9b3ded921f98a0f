#include "hart/IdentityText.h"

#include <cstdio>

namespace {

std::string DecimalWithHex(unsigned value, int hexDigits) {
    char text[32];
    std::snprintf(text, sizeof text, "%u (0x%0*X)", value, hexDigits, value);
    return text;
}

}  // namespace

std::string HartIdText(uint32_t deviceId) { return DecimalWithHex(deviceId, 6); }

std::string IdentityCodeText(unsigned code) { return DecimalWithHex(code, 2); }

uint32_t DeviceIdOf(const CHartLink& link) {
    return (uint32_t{link.m_deviceId[0]} << 16) | (uint32_t{link.m_deviceId[1]} << 8) |
           link.m_deviceId[2];
}
