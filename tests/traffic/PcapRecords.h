#pragma once

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "traffic/FrameDecoder.h"

// A capture file taken apart again, for the tests of what writes one.
namespace traffictest {

struct PcapRecord {
    int64_t timeUs = 0;
    std::vector<uint8_t> packet;  // IPv4, UDP, HART-IP

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

// The records after the 24-byte file header; a record cut short ends the list.
inline std::vector<PcapRecord> PcapRecords(const std::vector<uint8_t>& file) {
    std::vector<PcapRecord> records;
    for (size_t at = 24; at + 16 <= file.size();) {
        const size_t length = Little32(file, at + 8);
        if (at + 16 + length > file.size() || Little32(file, at + 12) != length) break;
        const auto start = file.begin() + static_cast<std::ptrdiff_t>(at + 16);
        records.push_back(
            {int64_t{Little32(file, at)} * 1000000 + Little32(file, at + 4),
             std::vector<uint8_t>(start, start + static_cast<std::ptrdiff_t>(length))});
        at += 16 + length;
    }
    return records;
}

inline std::vector<uint8_t> FileBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(file), {});
}

}  // namespace traffictest
