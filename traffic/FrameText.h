#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "traffic/FrameDecoder.h"

// One line of text for a decoded frame, its parts separated by " | ":
//   request | poll address 0 | command 0 Read Unique Identifier | byte count 0 | checksum good
//   answer | poll address 0 | command 0 Read Unique Identifier | byte count 24 | response 0
//   success | status ok | manufacturer 0x26, device type 0x06, ... | checksum good
//   no frame | result 5 no reply
namespace traffic {

std::string FrameSummary(const DecodedFrame& frame);

// Decodes and describes in one go.
std::string DescribeFrame(std::span<const uint8_t> bytes, Direction direction, unsigned linkResult);

// The bytes in hex, separated by blanks: "FF 02 00 00 00 02".
std::string HexBytes(std::span<const uint8_t> bytes);

}  // namespace traffic
