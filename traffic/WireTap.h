#pragma once

#include <cstdint>
#include <functional>
#include <mutex>

#include "hart/Clock.h"
#include "hart/HartLink.h"
#include "traffic/TrafficFrame.h"

// The link's observer for the line traffic: the bytes of each request and of each
// reception as the port moved them, with the time of every read and what the link took
// them for, handed to a sink as one record when the link reports the request sent or the
// reception ended, on the thread that runs the link. Times are the wall-clock time at the
// start plus what the link's clock counted since, so that a virtual clock gives virtual
// times and a wrapping counter does not jump.
namespace traffic {

class CWireTap final : public ILinkObserver {
public:
    using Sink = std::function<void(TrafficFrame)>;

    CWireTap(IClock& clock, int64_t startTimeUs, Sink sink);

    void BytesWritten(const uint8_t* bytes, size_t count) override;
    void BytesRead(const uint8_t* bytes, size_t count,
                   const std::vector<uint32_t>& errorsAt) override;
    void InputDiscarded(size_t queued) override;
    void EchoDropped(size_t offset, size_t count) override;
    void DelimiterFound(size_t offset) override;
    void FrameSent(const uint8_t* frame, size_t length, unsigned result) override;
    void FrameReceived(const uint8_t* reply, size_t length, unsigned result) override;
    void CommandEnded(bool answered) override;

private:
    int64_t NowUs();
    // Hands the record under way to the sink and starts the next one.
    void Pass(Direction direction, unsigned result);

    IClock& m_clock;
    Sink m_sink;
    // The link may change threads between calls (the window's worker, a continuous send).
    std::mutex m_mutex;
    int64_t m_timeUs;
    uint32_t m_lastMicros;
    TrafficFrame m_pending;
    unsigned m_attempt = 0;
    int64_t m_requestEndUs = 0;
};

// Now, in microseconds since 1970-01-01 UTC.
int64_t WallClockNowUs();

}  // namespace traffic
