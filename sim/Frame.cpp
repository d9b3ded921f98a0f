#include "sim/Frame.h"

#include <cctype>
#include <cstring>

#include "hart/HartFrame.h"

namespace sim {

Bytes Encode(const Frame& frame, size_t preambles) {
    Bytes out(preambles, hart::kPreambleByte);
    const size_t start = out.size();
    out.push_back(frame.delimiter);
    out.insert(out.end(), frame.address.begin(), frame.address.end());
    out.push_back(frame.command);
    out.push_back(static_cast<uint8_t>(frame.data.size()));
    out.insert(out.end(), frame.data.begin(), frame.data.end());
    out.push_back(hart::Checksum(out.data() + start, out.size() - start));
    return out;
}

Bytes AsHeard(const Frame& frame) {
    Bytes raw = Encode(frame, frame.preambles);
    raw.back() = frame.checksum;
    return raw;
}

Bytes PackAscii(const std::string& text, size_t byteCount) {
    const size_t groups = byteCount / 3;
    std::string padded = text;
    padded.resize(groups * 4, ' ');
    Bytes out;
    for (size_t g = 0; g < groups; ++g) {
        uint32_t bits = 0;
        for (size_t k = 0; k < 4; ++k) {
            const auto c =
                static_cast<uint8_t>(std::toupper(static_cast<unsigned char>(padded[4 * g + k])));
            bits = (bits << 6) | (c & 0x3Fu);
        }
        out.push_back(static_cast<uint8_t>(bits >> 16));
        out.push_back(static_cast<uint8_t>(bits >> 8));
        out.push_back(static_cast<uint8_t>(bits));
    }
    return out;
}

void AppendFloat(Bytes& out, float value) {
    uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(bits >> shift));
}

}  // namespace sim
