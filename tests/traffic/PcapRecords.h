#pragma once

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "traffic/FrameDecoder.h"

// A capture file (pcapng) taken apart again, for the tests of what writes one.
namespace traffictest {

struct PcapRecord {
    int64_t timeUs = 0;
    std::vector<uint8_t> packet;  // IPv4, UDP, HART-IP
    std::string comment;          // the packet's comment; empty without one

    // The HART frame the packet carries, and which way it went.
    std::vector<uint8_t> Pdu() const {
        return packet.size() < 36 ? std::vector<uint8_t>{}
                                  : std::vector<uint8_t>(packet.begin() + 36, packet.end());
    }
    traffic::Direction Direction() const {
        const bool toDevice = packet.size() >= 24 && (packet[22] << 8 | packet[23]) == 5094;
        return toDevice ? traffic::Direction::Sent : traffic::Direction::Received;
    }
    traffic::DecodedFrame Decoded() const { return traffic::DecodeFrame(Pdu(), Direction(), 0); }
};

inline uint32_t Little32(const std::vector<uint8_t>& bytes, size_t at) {
    return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
           static_cast<uint32_t>(bytes[at + 3]) << 24;
}

inline size_t Padded(size_t length) { return (length + 3) / 4 * 4; }

// The packet comment among an enhanced packet block's options, from `at` to `end`.
inline std::string PacketComment(const std::vector<uint8_t>& file, size_t at, size_t end) {
    while (at + 4 <= end) {
        const uint16_t code = static_cast<uint16_t>(file[at] | file[at + 1] << 8);
        const size_t length = static_cast<uint16_t>(file[at + 2] | file[at + 3] << 8);
        if (code == 0 || at + 4 + length > end) break;
        if (code == 1)
            return std::string(file.begin() + static_cast<std::ptrdiff_t>(at + 4),
                               file.begin() + static_cast<std::ptrdiff_t>(at + 4 + length));
        at += 4 + Padded(length);
    }
    return {};
}

// The packets of a little-endian pcapng file, one per enhanced packet block, in order. A file
// that does not start with a section header has none; a block cut short or whose lengths do
// not agree ends the list.
inline std::vector<PcapRecord> PcapRecords(const std::vector<uint8_t>& file) {
    std::vector<PcapRecord> records;
    if (file.size() < 12 || Little32(file, 0) != 0x0A0D0D0A || Little32(file, 8) != 0x1A2B3C4D)
        return records;
    for (size_t at = 0; at + 12 <= file.size();) {
        const uint32_t type = Little32(file, at);
        const size_t length = Little32(file, at + 4);
        if (length < 12 || length % 4 != 0 || at + length > file.size() ||
            Little32(file, at + length - 4) != length)
            break;
        if (type == 6 && length >= 32) {
            const size_t captured = Little32(file, at + 20);
            const size_t data = at + 28;
            const size_t end = at + length - 4;
            if (data + Padded(captured) > end) break;
            const auto start = file.begin() + static_cast<std::ptrdiff_t>(data);
            records.push_back(
                {static_cast<int64_t>(uint64_t{Little32(file, at + 12)} << 32 |
                                      Little32(file, at + 16)),
                 std::vector<uint8_t>(start, start + static_cast<std::ptrdiff_t>(captured)),
                 PacketComment(file, data + Padded(captured), end)});
        }
        at += length;
    }
    return records;
}

inline std::vector<uint8_t> FileBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(file), {});
}

}  // namespace traffictest
