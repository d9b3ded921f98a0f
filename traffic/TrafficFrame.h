#pragma once

#include <cstdint>
#include <vector>

#include "traffic/FrameDecoder.h"

// One frame the link sent or one reception it ended, as the line traffic keeps it.
namespace traffic {

struct TrafficFrame {
    int64_t timeUs = 0;  // microseconds since 1970-01-01 UTC
    Direction direction = Direction::Sent;
    // Sent: the request as written (preamble to checksum). Received: the reply as delivered
    // (no preamble, no checksum); after a checksum mismatch the frame with its checksum
    // byte; empty after any other failed reception.
    std::vector<uint8_t> bytes;
    unsigned linkResult = 0;
};

}  // namespace traffic
