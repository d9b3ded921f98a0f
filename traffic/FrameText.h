#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "traffic/FrameDecoder.h"
#include "traffic/WireText.h"

// One line of text for a decoded frame, its parts separated by " | ":
//   request | poll address 0 | command 0 Read Unique Identifier | byte count 0 | checksum good
//   answer | poll address 0 | command 0 Read Unique Identifier | byte count 24 | response 0
//   success | status ok | manufacturer 0x26, device type 0x06, ... | checksum good
//   no frame | result 5 no reply
// The words pass through translate (English when it is empty); the names of commands,
// response codes, status bits and units stay as the HART tables have them.
namespace traffic {

std::string FrameSummary(const DecodedFrame& frame, const Translate& translate = {});

// The same frame as the line traffic's columns: what a technician scans for first, each
// cell short, and the rest of the summary in decode.
struct FrameCells {
    std::string address;  // "0", or manufacturer, device type and id: "0x26 0x06 123456"
    std::string command;  // "0 Read Unique Identifier"
    // "ok", "response 32 busy", "checksum bad", "incomplete", "no reply", ...
    std::string result;
    std::string decode;  // the summary's other parts
};

FrameCells FrameColumns(const DecodedFrame& frame, const Translate& translate = {});

// Decodes and describes in one go.
std::string DescribeFrame(std::span<const uint8_t> bytes, Direction direction, unsigned linkResult);

// The bytes in hex, separated by blanks: "FF 02 00 00 00 02".
std::string HexBytes(std::span<const uint8_t> bytes);

}  // namespace traffic
