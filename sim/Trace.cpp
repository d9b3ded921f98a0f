#include "sim/Trace.h"

namespace sim {

std::string Hex(const Bytes& bytes) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string text;
    for (uint8_t b : bytes) {
        if (!text.empty()) text += ' ';
        text += kDigits[b >> 4];
        text += kDigits[b & 0x0F];
    }
    return text;
}

void Trace::Heard(double ms, const Frame& frame, bool checksumOk, bool dropped) {
    const char* note = !checksumOk ? "  (bad checksum, ignored)" : dropped ? "  (dropped)" : "";
    Line(ms, "<-", Hex(AsHeard(frame)), note);
}

void Trace::Sent(double ms, const char* what, const Bytes& bytes) {
    Line(ms, "->", Hex(bytes), what);
}

void Trace::Echoed(double ms, const Bytes& bytes, bool late) {
    Line(ms, "=>", Hex(bytes), late ? "  (late echo)" : "  (echo)");
}

void Trace::Line(double ms, const char* direction, const std::string& text, const char* note) {
    std::fprintf(m_out, "%10.1f ms %s %s%s\n", ms, direction, text.c_str(), note);
    std::fflush(m_out);
}

}  // namespace sim
