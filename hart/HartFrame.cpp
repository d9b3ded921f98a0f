#include "hart/HartFrame.h"

namespace hart {

uint8_t Checksum(const uint8_t* bytes, size_t count) {
    uint8_t sum = 0;
    for (size_t i = 0; i < count; ++i) sum ^= bytes[i];
    return sum;
}

}  // namespace hart
