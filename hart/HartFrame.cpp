#include "hart/HartFrame.h"

#include <cstring>

namespace hart {

uint8_t Checksum(const uint8_t* bytes, size_t count) {
    uint8_t sum = 0;
    for (size_t i = 0; i < count; ++i) sum ^= bytes[i];
    return sum;
}

size_t AssembleFrame(uint8_t* out, size_t preambles, const uint8_t* body, size_t bodyLength) {
    std::memset(out, kPreambleByte, preambles);
    std::memcpy(out + preambles, body, bodyLength);
    out[preambles + bodyLength] = Checksum(body, bodyLength);
    return preambles + bodyLength + 1;
}

}  // namespace hart
