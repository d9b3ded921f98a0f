#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "hart/HartFrame.h"
#include "sim/Frame.h"
#include "sim/RequestParser.h"

// Requests as a master puts them on the line, and the frames found in what comes back.
namespace simtest {

using sim::Bytes;

// preambles x FF, then the given bytes (delimiter through last data byte), then the checksum.
inline Bytes Request(size_t preambles, std::initializer_list<uint8_t> body) {
    Bytes out(preambles, 0xFF);
    for (uint8_t b : body) out.push_back(b);
    out.push_back(hart::Checksum(out.data() + preambles, body.size()));
    return out;
}

// Command 0 at a polling address, as the identity poll sends it.
inline Bytes IdentityPoll(uint8_t address) { return Request(20, {0x02, address, 0x00, 0x00}); }

// A command without data by long address.
inline Bytes LongRequest(uint8_t mfr, uint8_t type, uint32_t id, uint8_t command) {
    return Request(5, {0x82, mfr, type, static_cast<uint8_t>(id >> 16),
                       static_cast<uint8_t>(id >> 8), static_cast<uint8_t>(id), command, 0x00});
}

struct HeardFrame {
    sim::Frame frame;
    bool checksumOk;
    uint8_t ResponseCode() const { return frame.data.at(0); }
    Bytes Payload() const { return Bytes(frame.data.begin() + 2, frame.data.end()); }
};

// Every frame in a byte stream, in order.
inline std::vector<HeardFrame> FramesIn(const Bytes& bytes) {
    sim::RequestParser parser;
    std::vector<HeardFrame> frames;
    for (uint8_t b : bytes) {
        const auto outcome = parser.Feed(b);
        if (outcome == sim::RequestParser::Outcome::InProgress) continue;
        frames.push_back({parser.Last(), outcome == sim::RequestParser::Outcome::Complete});
    }
    return frames;
}

// 6-bit codes back to characters, 4 per 3 bytes.
inline std::string Unpack(const Bytes& packed) {
    std::string text;
    for (size_t g = 0; g + 2 < packed.size(); g += 3) {
        const uint32_t bits =
            (uint32_t{packed[g]} << 16) | (uint32_t{packed[g + 1]} << 8) | packed[g + 2];
        for (int shift = 18; shift >= 0; shift -= 6) {
            const uint8_t code = (bits >> shift) & 0x3F;
            text += static_cast<char>(code & 0x20 ? code : code + 0x40);
        }
    }
    return text;
}

inline float FloatAt(const Bytes& bytes, size_t at) {
    const uint32_t bits = (uint32_t{bytes.at(at)} << 24) | (uint32_t{bytes.at(at + 1)} << 16) |
                          (uint32_t{bytes.at(at + 2)} << 8) | bytes.at(at + 3);
    float value;
    static_assert(sizeof value == sizeof bits);
    __builtin_memcpy(&value, &bits, sizeof value);
    return value;
}

}  // namespace simtest
