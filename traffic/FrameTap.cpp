#include "traffic/FrameTap.h"

#include <chrono>
#include <utility>

namespace traffic {

CFrameTap::CFrameTap(IClock& clock, int64_t startTimeUs, Sink sink)
    : m_clock(clock),
      m_sink(std::move(sink)),
      m_timeUs(startTimeUs),
      m_lastTickMs(clock.TickCount()) {}

void CFrameTap::FrameSent(const uint8_t* frame, size_t length, unsigned result) {
    Pass(Direction::Sent, frame, length, result);
}

void CFrameTap::FrameReceived(const uint8_t* reply, size_t length, unsigned result) {
    Pass(Direction::Received, reply, length, result);
}

void CFrameTap::Pass(Direction direction, const uint8_t* bytes, size_t length, unsigned result) {
    TrafficFrame frame;
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        // Only the difference of two readings means anything; it survives a wrap.
        const uint32_t nowMs = m_clock.TickCount();
        m_timeUs += static_cast<int64_t>(nowMs - m_lastTickMs) * 1000;
        m_lastTickMs = nowMs;
        frame.timeUs = m_timeUs;
    }
    frame.direction = direction;
    if (bytes && length > 0) frame.bytes.assign(bytes, bytes + length);
    frame.linkResult = result;
    m_sink(std::move(frame));
}

int64_t WallClockNowUs() {
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

}  // namespace traffic
