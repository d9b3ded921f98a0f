#pragma once

#include <functional>
#include <string>
#include <vector>

#include "traffic/TrafficFrame.h"

// A record's bytes and what the wire showed, as text for the trace, the pane and the
// capture's packet comments.
namespace traffic {

// Maps an English text (a printf format) to the interface language; empty: English.
using Translate = std::function<std::string(const char* english)>;

// Every byte in hex, the preamble before the frame counted rather than spelled out and a
// byte received with a parity or framing error marked with "!":
//   "12 34 56 FF×5 86 28 61 31 32 33 0D 0D ... 23 79"
std::string WireHex(const TrafficFrame& frame);

// What the line did beyond the frame itself, one note each: noise before the preamble,
// echo dropped or discarded, line errors, a frame incomplete or with a bad checksum.
std::vector<std::string> WireNotes(const TrafficFrame& frame, const Translate& translate = {});

// The notes joined with "; ".
std::string JoinedNotes(const std::vector<std::string>& notes);

}  // namespace traffic
