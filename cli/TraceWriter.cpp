#include "cli/TraceWriter.h"

#include <string>

#include "hart/LinkResultName.h"
#include "traffic/WireText.h"

void CTraceWriter::Write(const traffic::TrafficFrame& frame) {
    const int64_t elapsedMs = (frame.timeUs - m_startUs) / 1000;
    std::string head = std::to_string(elapsedMs);
    if (head.size() < 7) head.insert(0, 7 - head.size(), ' ');
    head += frame.direction == traffic::Direction::Sent ? " ms  TX  " : " ms  RX  ";
    const std::string hex = traffic::WireHex(frame);
    const std::string notes = traffic::JoinedNotes(traffic::WireNotes(frame));
    m_out << head << (hex.empty() ? "-" : hex) << "  result " << frame.linkResult << " ("
          << LinkResultName(frame.linkResult) << ")" << (notes.empty() ? "" : "  " + notes) << '\n';
    m_out.flush();
}
