#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "traffic/FrameDecoder.h"

// One request the link sent or one reception it ended, as the wire carried it: every byte
// as it was written or read, and what the link made of them, so that the capture shows
// the line and never the link's reading of it.
namespace traffic {

// A read of the port: the reception's bytes from offset on came with it.
struct WireRead {
    uint32_t offset = 0;
    int64_t timeUs = 0;
};

// Bytes of a reception the link took for the echo of its request.
struct EchoSpan {
    uint32_t offset = 0;
    uint32_t count = 0;
};

struct TrafficFrame {
    // Sent: when the request was off the air (the link's send ended). Received: when the
    // reception ended. Microseconds since 1970-01-01 UTC.
    int64_t timeUs = 0;
    Direction direction = Direction::Sent;
    // Sent: the request as the port took it (preamble to checksum). Received: every byte
    // the reception read, in order: noise, echo tails, preambles and the frame as received,
    // however far it came.
    std::vector<uint8_t> bytes;
    unsigned linkResult = 0;
    // Which request of its command this one was, or answers: 1 for the first, more for a
    // retry; 0 where no request went before.
    unsigned attempt = 0;
    // Bytes discarded unread after it, as far as the driver counted them: after a request
    // the modem's echo, after a reception whatever followed the frame.
    uint32_t discarded = 0;

    // Received only.
    std::vector<WireRead> reads;
    std::optional<uint32_t> frameStart;  // the delimiter of the frame the link read
    std::vector<EchoSpan> echoes;        // with the preamble bytes before each
    std::vector<uint32_t> lineErrorsAt;  // bytes received with a parity or framing error
    int64_t requestEndUs = 0;            // when the request it answers went off the air
};

}  // namespace traffic
