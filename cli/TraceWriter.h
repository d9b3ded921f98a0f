#pragma once

#include <cstdint>
#include <ostream>

#include "traffic/TrafficFrame.h"

// --trace: every request the link sends and every reception it ends, one line each, with
// the milliseconds since tracing began, every byte as the wire carried it (see
// traffic/WireText.h), the link result and what else the line did:
//   "   1003 ms  TX  FF×5 82 A6 4E 0A 0A 0A 00 00 2E  result 0 (ok)"
//   "   1290 ms  RX  12 34 56 FF×5 86 A6 4E ... 60 00 22  result 0 (ok)  noise: 3 bytes ..."
//   "   1790 ms  RX  -  result 5 (no reply)"
class CTraceWriter {
public:
    CTraceWriter(std::ostream& out, int64_t startTimeUs) : m_out(out), m_startUs(startTimeUs) {}

    void Write(const traffic::TrafficFrame& frame);

private:
    std::ostream& m_out;
    int64_t m_startUs;
};
