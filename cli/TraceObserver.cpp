#include "cli/TraceObserver.h"

#include <cstdio>
#include <string>

CTraceObserver::CTraceObserver(IClock& clock, std::ostream& out)
    : m_clock(clock), m_out(out), m_startMs(clock.TickCount()) {}

void CTraceObserver::FrameSent(const uint8_t* frame, size_t length, unsigned result) {
    Line("TX", frame, length, result);
}

void CTraceObserver::FrameReceived(const uint8_t* reply, size_t length, unsigned result) {
    Line("RX", reply, length, result);
}

void CTraceObserver::Line(const char* direction, const uint8_t* bytes, size_t length,
                          unsigned result) {
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
    m_out << line << "  result " << result << " (" << LinkResultName(result) << ")\n";
    m_out.flush();
}

const char* LinkResultName(unsigned result) {
    switch (result) {
        case kLinkOk:
            return "ok";
        case kLinkPortError:
            return "port error";
        case kLinkChecksumMismatch:
            return "checksum mismatch";
        case kLinkDataIncomplete:
            return "data incomplete";
        case kLinkWriteIncomplete:
            return "write incomplete";
        case kLinkNoReply:
            return "no reply";
        case kLinkAlreadyOpen:
            return "already open";
        case kLinkBadPortNumber:
            return "bad port number";
        case kLinkBadBaudRate:
            return "bad baud rate";
        case kLinkNoBuffer:
            return "no buffer";
        default:
            return "unknown";
    }
}
