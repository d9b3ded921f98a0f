#include "traffic/WireTap.h"

#include <chrono>
#include <utility>

#include "hart/HartFrame.h"

namespace traffic {

CWireTap::CWireTap(IClock& clock, int64_t startTimeUs, Sink sink)
    : m_clock(clock),
      m_sink(std::move(sink)),
      m_timeUs(startTimeUs),
      m_lastMicros(clock.MicroCount()) {}

int64_t CWireTap::NowUs() {
    // Only the difference of two readings means anything; it survives a wrap.
    const uint32_t now = m_clock.MicroCount();
    m_timeUs += static_cast<int64_t>(static_cast<uint32_t>(now - m_lastMicros));
    m_lastMicros = now;
    return m_timeUs;
}

void CWireTap::BytesWritten(const uint8_t* bytes, size_t count) {
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_pending.bytes.insert(m_pending.bytes.end(), bytes, bytes + count);
}

void CWireTap::BytesRead(const uint8_t* bytes, size_t count,
                         const std::vector<uint32_t>& errorsAt) {
    const std::lock_guard<std::mutex> lock(m_mutex);
    const auto offset = static_cast<uint32_t>(m_pending.bytes.size());
    m_pending.reads.push_back({offset, NowUs()});
    m_pending.bytes.insert(m_pending.bytes.end(), bytes, bytes + count);
    for (uint32_t at : errorsAt)
        if (at < count) m_pending.lineErrorsAt.push_back(offset + at);
}

void CWireTap::InputDiscarded(size_t queued) {
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_pending.discarded += static_cast<uint32_t>(queued);
}

void CWireTap::EchoDropped(size_t offset, size_t count) {
    const std::lock_guard<std::mutex> lock(m_mutex);
    // The echo's own preamble bytes were the request's too.
    size_t start = offset;
    while (start > 0 && start <= m_pending.bytes.size() &&
           m_pending.bytes[start - 1] == hart::kPreambleByte)
        --start;
    m_pending.echoes.push_back(
        {static_cast<uint32_t>(start), static_cast<uint32_t>(offset - start + count)});
}

void CWireTap::DelimiterFound(size_t offset) {
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_pending.frameStart = static_cast<uint32_t>(offset);
}

void CWireTap::FrameSent(const uint8_t*, size_t, unsigned result) { Pass(Direction::Sent, result); }

void CWireTap::FrameReceived(const uint8_t*, size_t, unsigned result) {
    Pass(Direction::Received, result);
}

void CWireTap::CommandEnded(bool) {
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_attempt = 0;
    m_requestEndUs = 0;
}

void CWireTap::Pass(Direction direction, unsigned result) {
    TrafficFrame frame;
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        frame = std::exchange(m_pending, TrafficFrame{});
        frame.timeUs = NowUs();
        frame.direction = direction;
        frame.linkResult = result;
        if (direction == Direction::Sent) {
            ++m_attempt;
            m_requestEndUs = frame.timeUs;
        } else {
            frame.requestEndUs = m_requestEndUs;
        }
        frame.attempt = m_attempt;
    }
    m_sink(std::move(frame));
}

int64_t WallClockNowUs() {
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

}  // namespace traffic
