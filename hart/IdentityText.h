#pragma once

#include <cstdint>
#include <string>

#include "hart/HartLink.h"

// A device's identity numbers as people read them, in one form wherever they are shown:
// decimal, as the main window's HART ID box has it, with the hex of data sheets and
// manufacturer tables beside it.

// The 24-bit device identifier: "1193046 (0x123456)".
std::string HartIdText(uint32_t deviceId);
// A manufacturer or device-type code: "38 (0x26)".
std::string IdentityCodeText(unsigned code);

// The identifier of the device the link last heard, its three bytes read first byte most
// significant.
uint32_t DeviceIdOf(const CHartLink& link);
