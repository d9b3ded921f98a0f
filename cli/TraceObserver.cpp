#include "cli/TraceObserver.h"

#include <cstdio>
#include <string>

#include "hart/LinkResultName.h"

CTraceObserver::CTraceObserver(IClock& clock, std::ostream& out, const CSerial* port)
    : m_clock(clock), m_out(out), m_pPort(port), m_startMs(clock.TickCount()) {}

void CTraceObserver::FrameSent(const uint8_t* frame, size_t length, unsigned result) {
    Line("TX", frame, length, result);
}

void CTraceObserver::FrameReceived(const uint8_t* reply, size_t length, unsigned result) {
    Line("RX", reply, length, result, NewLineErrors());
}

std::string CTraceObserver::NewLineErrors() {
    if (!m_pPort) return {};
    const CSerial::LineErrors now = m_pPort->LineErrorCounts();
    // A port opened again counts from 0.
    if (now.marked < m_reported.marked) m_reported = {};
    const uint32_t marked = now.marked - m_reported.marked;
    const uint32_t parity = now.parity - m_reported.parity;
    const uint32_t framing = now.framing - m_reported.framing;
    m_reported = now;
    if (marked == 0 && parity == 0 && framing == 0) return {};
    std::string note = "  line errors: " + std::to_string(marked);
    if (now.driverCounts) {
        note += " (parity " + std::to_string(parity) + ", framing " + std::to_string(framing) + ")";
    }
    return note;
}

void CTraceObserver::Line(const char* direction, const uint8_t* bytes, size_t length,
                          unsigned result, const std::string& note) {
    // The counter wraps; only the difference means anything.
    const uint32_t elapsed = m_clock.TickCount() - m_startMs;
    char head[32];
    std::snprintf(head, sizeof head, "%7u ms  %s  ", elapsed, direction);
    std::string line = head;
    if (length == 0) line += "-";
    for (size_t i = 0; i < length; ++i) {
        char hex[4];
        std::snprintf(hex, sizeof hex, i == 0 ? "%02X" : " %02X", bytes[i]);
        line += hex;
    }
    m_out << line << "  result " << result << " (" << LinkResultName(result) << ")" << note << '\n';
    m_out.flush();
}
