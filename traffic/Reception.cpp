#include "traffic/Reception.h"

#include "hart/HartFrame.h"

namespace traffic {

namespace {

bool InEcho(const TrafficFrame& reception, size_t at) {
    for (const EchoSpan& echo : reception.echoes)
        if (at >= echo.offset && at - echo.offset < echo.count) return true;
    return false;
}

std::optional<int64_t> ReadTimeOf(const TrafficFrame& reception, size_t at) {
    std::optional<int64_t> time;
    for (const WireRead& read : reception.reads) {
        if (read.offset > at) break;
        time = read.timeUs;
    }
    return time;
}

}  // namespace

ReceptionParts SplitReception(const TrafficFrame& reception) {
    ReceptionParts parts;
    const std::vector<uint8_t>& bytes = reception.bytes;
    size_t frameAt = bytes.size();
    if (reception.frameStart && *reception.frameStart < bytes.size()) {
        frameAt = *reception.frameStart;
        size_t start = frameAt;
        while (start > 0 && bytes[start - 1] == hart::kPreambleByte &&
               !InEcho(reception, start - 1))
            --start;
        parts.preambleStart = start;
        parts.preambles = frameAt - start;
        parts.frame = std::span(bytes).subspan(frameAt);
        parts.replyStartUs = ReadTimeOf(reception, start);
    }
    const size_t before = reception.frameStart ? parts.preambleStart : bytes.size();
    for (size_t at = 0; at < bytes.size(); ++at) {
        if (InEcho(reception, at))
            ++parts.echo;
        else if (at < before)
            ++parts.noise;
    }
    return parts;
}

std::span<const uint8_t> WireFrame(const TrafficFrame& frame) {
    if (frame.direction == Direction::Sent) return frame.bytes;
    return SplitReception(frame).frame;
}

DecodedFrame DecodeTraffic(const TrafficFrame& frame) {
    if (frame.direction == Direction::Sent)
        return DecodeFrame(frame.bytes, frame.direction, frame.linkResult);
    return DecodeReception(frame, SplitReception(frame));
}

DecodedFrame DecodeReception(const TrafficFrame& reception, const ReceptionParts& parts) {
    DecodedFrame decoded = DecodeFrame(parts.frame, reception.direction, reception.linkResult);
    decoded.preambles = parts.preambles;
    return decoded;
}

}  // namespace traffic
