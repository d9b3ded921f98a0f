#pragma once

#include <cstdint>
#include <string>

namespace sim {

// What one simulated field device is: its addresses, identity and texts.
struct DeviceConfig {
    uint8_t pollAddress = 0;
    std::string tag = "TRALVO01";                           // 8 characters of Packed ASCII
    std::string descriptor = "TRALVO SIMULATOR";            // 16 characters of Packed ASCII
    std::string longTag = "TRALVO SIMULATED FIELD DEVICE";  // up to 32 characters
    uint32_t deviceId = 0x123456;                           // 24 bits
    uint8_t manufacturer = 0x26;
    uint8_t deviceType = 0x06;
    uint8_t revision = 7;  // universal command revision
};

// The defaults for a device at a polling address: a tag and identifier of its own, so
// that devices of a multi-drop line differ without being told.
DeviceConfig DefaultDevice(uint8_t pollAddress);

}  // namespace sim
