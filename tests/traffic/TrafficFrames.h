#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "hart/HartFrame.h"
#include "traffic/TrafficFrame.h"

// Frames as the link hands them to its observer, for the line traffic tests.
namespace traffictest {

using Bytes = std::vector<uint8_t>;

inline Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

// A request as written: preamble, body, checksum.
inline Bytes Written(size_t preambles, const Bytes& body) {
    Bytes frame(preambles, hart::kPreambleByte);
    frame.insert(frame.end(), body.begin(), body.end());
    frame.push_back(hart::Checksum(body.data(), body.size()));
    return frame;
}

// A frame as read off the line with its checksum, no preamble.
inline Bytes WithChecksum(const Bytes& body) { return Written(0, body); }

// Body of a frame: delimiter, address, command, byte count (from the data), data.
inline Bytes Body(uint8_t delimiter, const Bytes& address, uint8_t command, const Bytes& data) {
    Bytes body{delimiter};
    body.insert(body.end(), address.begin(), address.end());
    body.push_back(command);
    body.push_back(static_cast<uint8_t>(data.size()));
    body.insert(body.end(), data.begin(), data.end());
    return body;
}

inline const Bytes kLongAddress{0x26, 0x06, 0x12, 0x34, 0x56};
// Packed ASCII of "TAG1    " and of "ABCDEFGH".
inline const Bytes kPackedTag{0x50, 0x11, 0xF1, 0x82, 0x08, 0x20};
inline const Bytes kPackedLetters{0x04, 0x20, 0xC4, 0x14, 0x61, 0xC8};
// Big-endian floats.
inline const Bytes kTwelve{0x41, 0x40, 0x00, 0x00};
inline const Bytes kFifty{0x42, 0x48, 0x00, 0x00};
inline const Bytes kTwentyOneAndAHalf{0x41, 0xAC, 0x00, 0x00};

inline const Bytes kIdentityPayload{254, 0x26, 0x06, 5, 7, 1, 3, 0x08, 0, 0x12, 0x34, 0x56};

// The identity poll of address 0 as written, and its answer as delivered.
inline Bytes IdentityPoll() { return Written(20, Body(0x02, {0x00}, 0, {})); }
inline Bytes IdentityAnswer() {
    return Body(0x06, {0x00}, 0, Concat({{0x00, 0x00}, kIdentityPayload}));
}
// The device's dynamic variables (12 mA, PV 50 kPa, SV 21.5 degC) with status bytes.
inline Bytes DynamicVariablesData() {
    return Concat({{0x00, 0x00}, kTwelve, {12}, kFifty, {32}, kTwentyOneAndAHalf});
}

// Records as the wire tap makes them: a request as the port took it, and a reception's
// bytes with the offset where the link found its frame (none: it found none).
inline traffic::TrafficFrame SentRecord(int64_t timeUs, Bytes bytes, unsigned result) {
    traffic::TrafficFrame frame;
    frame.timeUs = timeUs;
    frame.direction = traffic::Direction::Sent;
    frame.bytes = std::move(bytes);
    frame.linkResult = result;
    return frame;
}
inline traffic::TrafficFrame ReceivedRecord(int64_t timeUs, Bytes bytes, unsigned result,
                                            std::optional<uint32_t> frameStart = 0) {
    traffic::TrafficFrame frame = SentRecord(timeUs, std::move(bytes), result);
    frame.direction = traffic::Direction::Received;
    if (!frame.bytes.empty()) frame.frameStart = frameStart;
    return frame;
}

}  // namespace traffictest
