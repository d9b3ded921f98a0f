#include "cli/TraceWriter.h"

#include <cstdio>
#include <string>

#include "hart/LinkResultName.h"
#include "traffic/WireText.h"

void CTraceWriter::Write(const traffic::TrafficFrame& frame) {
    const int64_t elapsedMs = (frame.timeUs - m_startUs) / 1000;
    char head[40];
    std::snprintf(head, sizeof head, "%7lld ms  %s  ", static_cast<long long>(elapsedMs),
                  frame.direction == traffic::Direction::Sent ? "TX" : "RX");
    const std::string hex = traffic::WireHex(frame);
    const std::string notes = traffic::JoinedNotes(traffic::WireNotes(frame));
    m_out << head << (hex.empty() ? "-" : hex) << "  result " << frame.linkResult << " ("
          << LinkResultName(frame.linkResult) << ")" << (notes.empty() ? "" : "  " + notes) << '\n';
    m_out.flush();
}
