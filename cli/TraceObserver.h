#pragma once

#include <cstdint>
#include <ostream>

#include "hart/Clock.h"
#include "hart/HartLink.h"

// --trace: every frame the link sends and every reception it ends, one line each, in hex,
// with the milliseconds since tracing began and the link result.
//   "   1003 ms  TX  FF FF ... 02 80 00 00 82  result 0 (ok)"
//   "   1290 ms  RX  06 80 00 0E ...  result 0 (ok)"
//   "   1790 ms  RX  -  result 5 (no reply)"
class CTraceObserver final : public ILinkObserver {
public:
    CTraceObserver(IClock& clock, std::ostream& out);

    void FrameSent(const uint8_t* frame, size_t length, unsigned result) override;
    void FrameReceived(const uint8_t* reply, size_t length, unsigned result) override;

private:
    void Line(const char* direction, const uint8_t* bytes, size_t length, unsigned result);

    IClock& m_clock;
    std::ostream& m_out;
    uint32_t m_startMs;
};

// A short name for a link result code ("ok", "no reply", ...).
const char* LinkResultName(unsigned result);
