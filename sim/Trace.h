#pragma once

#include <cstdio>
#include <string>

#include "sim/Frame.h"

namespace sim {

// Bytes in hex, separated by blanks.
std::string Hex(const Bytes& bytes);

// Prints one line per frame: time in ms since the start, direction, bytes as on the wire.
class Trace {
public:
    explicit Trace(std::FILE* out) : m_out(out) {}
    // dropped: heard, but its answer was dropped on purpose.
    void Heard(double ms, const Frame& frame, bool checksumOk, bool dropped = false);
    void Sent(double ms, const char* what, const Bytes& bytes);
    // The echo of what was heard; late: the tail an adapter hands on after a pause.
    void Echoed(double ms, const Bytes& bytes, bool late = false);

private:
    void Line(double ms, const char* direction, const std::string& text, const char* note);
    std::FILE* m_out;
};

}  // namespace sim
