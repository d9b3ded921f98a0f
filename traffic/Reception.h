#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "traffic/FrameDecoder.h"
#include "traffic/TrafficFrame.h"

// What a reception's bytes were: noise, echo tails, the preamble and the frame, told apart
// by where the link found the frame and what it took for echo. Nothing is taken out or
// rewritten; the parts are views of the bytes as they came.
namespace traffic {

struct ReceptionParts {
    size_t noise = 0;  // bytes that were neither echo nor the frame and its preamble
    size_t echo = 0;   // bytes the link took for the echo of its request
    size_t preambleStart = 0;
    size_t preambles = 0;            // preamble bytes right before the frame
    std::span<const uint8_t> frame;  // delimiter to the last byte read; empty without one
    // When the first byte of the reply (its first preamble byte) was read; none without a
    // frame.
    std::optional<int64_t> replyStartUs;
};

ReceptionParts SplitReception(const TrafficFrame& reception);

// The frame on the line, as sent or as received: a request from its first preamble byte,
// a reception from its delimiter (checksum as received, an incomplete frame as far as it
// came). Empty when a reception found no frame.
std::span<const uint8_t> WireFrame(const TrafficFrame& frame);

// Decodes the frame the record carries, its preamble count included.
DecodedFrame DecodeTraffic(const TrafficFrame& frame);
// The same for a reception already split, so that its bytes are walked once.
DecodedFrame DecodeReception(const TrafficFrame& reception, const ReceptionParts& parts);

}  // namespace traffic
