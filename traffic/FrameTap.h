#pragma once

#include <cstdint>
#include <functional>
#include <mutex>

#include "hart/Clock.h"
#include "hart/HartLink.h"
#include "traffic/TrafficFrame.h"

// The link's observer for the line traffic: each frame sent and each reception ended, with
// its time, handed to a sink on the thread that runs the link. The time is the wall-clock
// time at the start plus what the link's clock counted since, so that a virtual clock gives
// virtual times and a wrapping tick counter does not jump.
namespace traffic {

class CFrameTap final : public ILinkObserver {
public:
    using Sink = std::function<void(TrafficFrame)>;

    CFrameTap(IClock& clock, int64_t startTimeUs, Sink sink);

    void FrameSent(const uint8_t* frame, size_t length, unsigned result) override;
    void FrameReceived(const uint8_t* reply, size_t length, unsigned result) override;

private:
    void Pass(Direction direction, const uint8_t* bytes, size_t length, unsigned result);

    IClock& m_clock;
    Sink m_sink;
    // The link may change threads between calls (the window's worker, a continuous send).
    std::mutex m_mutex;
    int64_t m_timeUs;
    uint32_t m_lastTickMs;
};

// Now, in microseconds since 1970-01-01 UTC.
int64_t WallClockNowUs();

}  // namespace traffic
