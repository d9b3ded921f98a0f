#include "sim/DeviceConfig.h"

#include <cstdio>

namespace sim {

DeviceConfig DefaultDevice(uint8_t pollAddress) {
    DeviceConfig config;
    config.pollAddress = pollAddress;
    char tag[16];
    std::snprintf(tag, sizeof tag, "TRALVO%02u", static_cast<unsigned>(pollAddress + 1) % 100);
    config.tag = tag;
    config.deviceId = 0x123456u + pollAddress;
    return config;
}

}  // namespace sim
