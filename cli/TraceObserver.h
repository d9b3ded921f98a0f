#pragma once

#include <cstdint>
#include <ostream>
#include <string>

#include "hart/Clock.h"
#include "hart/HartLink.h"

// --trace: every frame the link sends and every reception it ends, one line each, in hex,
// with the milliseconds since tracing began and the link result.
//   "   1003 ms  TX  FF FF ... 02 80 00 00 82  result 0 (ok)"
//   "   1290 ms  RX  06 80 00 0E ...  result 0 (ok)"
//   "   1790 ms  RX  -  result 5 (no reply)"
// A reception whose checksum failed shows the frame as read, its checksum byte last:
//   "   2040 ms  RX  06 80 00 02 00 00 5E  result 2 (checksum mismatch)"
// Bytes the port received with parity or framing errors since the last line are added to
// a reception's line, where the driver reports them:
//   "   2290 ms  RX  06 80 ...  result 0 (ok)  line errors: 2 (parity 2, framing 0)"
class CTraceObserver final : public ILinkObserver {
public:
    CTraceObserver(IClock& clock, std::ostream& out, const CSerial* port = nullptr);

    void FrameSent(const uint8_t* frame, size_t length, unsigned result) override;
    void FrameReceived(const uint8_t* reply, size_t length, unsigned result) override;

private:
    void Line(const char* direction, const uint8_t* bytes, size_t length, unsigned result,
              const std::string& note = {});
    // The line errors counted since the last call, as a note; empty when there were none.
    std::string NewLineErrors();

    IClock& m_clock;
    std::ostream& m_out;
    const CSerial* m_pPort;
    CSerial::LineErrors m_reported;
    uint32_t m_startMs;
};
