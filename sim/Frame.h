#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "hart/HartFrame.h"

// Frames as the simulated devices hear and send them: the fields of one HART frame without
// preamble and checksum, and the bytes that put it on the line.
namespace sim {

using Bytes = std::vector<uint8_t>;

inline constexpr size_t kReplyPreambles = 5;
// One 11-bit character on the line.
inline constexpr double kByteMs = 11.0 * 1000.0 / hart::kLineBaud;

struct Frame {
    uint8_t delimiter = 0;
    Bytes address;  // 1 byte (short frame) or 5 bytes (long frame)
    uint8_t command = 0;
    Bytes data;            // in a reply: response code, device status, payload
    size_t preambles = 0;  // as heard; when sending, kReplyPreambles is used
    uint8_t checksum = 0;  // as heard
    bool IsLong() const { return (delimiter & hart::kLongAddressDelimiterBit) != 0; }
};

// Preamble, delimiter through data, checksum.
Bytes Encode(const Frame& frame, size_t preambles = kReplyPreambles);

// A heard frame as it was on the line: its preamble, its fields and the checksum it came with.
Bytes AsHeard(const Frame& frame);

// Packed ASCII: 4 characters in 3 bytes, 6 bits each; lower case is sent as upper case.
// text is padded with blanks to byteCount / 3 * 4 characters.
Bytes PackAscii(const std::string& text, size_t byteCount);

// Big-endian IEEE 754 single precision.
void AppendFloat(Bytes& out, float value);

}  // namespace sim
