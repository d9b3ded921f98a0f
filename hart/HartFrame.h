#pragma once

#include <cstddef>
#include <cstdint>

// The HART frame format, defined once for the whole program.

namespace hart {

// The line's speed; every frame goes as 11-bit characters (8 data bits, odd parity).
inline constexpr uint32_t kLineBaud = 1200;

inline constexpr uint8_t kPreambleByte = 0xFF;

// Delimiters.
inline constexpr uint8_t kDelimMasterShort = 0x02;
inline constexpr uint8_t kDelimMasterLong = 0x82;
inline constexpr uint8_t kDelimSlaveShort = 0x06;
inline constexpr uint8_t kDelimSlaveLong = 0x86;
inline constexpr uint8_t kDelimBurstShort = 0x01;
inline constexpr uint8_t kDelimBurstLong = 0x81;

inline constexpr size_t kShortHeaderBytes = 3;  // address, command, byte count
inline constexpr size_t kLongHeaderBytes = 7;   // 5 address bytes, command, byte count

// Positions in a delivered reply (delimiter at 0, no preamble, no checksum).
inline constexpr size_t kShortPayloadPos = 6;
inline constexpr size_t kLongCommandPos = 6;
inline constexpr size_t kLongByteCountPos = 7;
inline constexpr size_t kLongResponseCodePos = 8;
inline constexpr size_t kLongPayloadPos = 10;

// Preamble counts of requests: the identity poll carries more so that a modem whose
// carrier detect is slow still passes a complete frame.
inline constexpr size_t kIdentityPollPreambles = 20;
inline constexpr size_t kRequestPreambles = 5;

// The first address byte of a frame, short or long: bit 7 set by a primary master (and
// echoed in the answer), bit 6 set by a device in burst mode; the low 6 bits address (in a
// long address, the manufacturer's part).
inline constexpr uint8_t kPrimaryMasterBit = 0x80;
inline constexpr uint8_t kBurstModeBit = 0x40;
inline constexpr uint8_t kAddressBits = 0x3F;
// The delimiter: bit 7 announces a long address, the low 3 bits the frame type.
inline constexpr uint8_t kLongAddressDelimiterBit = 0x80;
inline constexpr uint8_t kFrameTypeBits = 0x07;
// A short frame's delimiter is its frame type alone.
inline constexpr uint8_t kFrameTypeBurst = kDelimBurstShort;
inline constexpr uint8_t kFrameTypeMasterToSlave = kDelimMasterShort;
inline constexpr uint8_t kFrameTypeSlaveToMaster = kDelimSlaveShort;
inline constexpr size_t kLongAddressBytes = 5;

// On-air time of a frame at 1200 baud: 9.2 ms a byte, rounded down, plus one (an 11-bit
// character lasts 9.17 ms).
constexpr uint32_t OnAirMs(size_t length) { return static_cast<uint32_t>(length * 92 / 10 + 1); }

// Exclusive-or of every byte given (delimiter through last data byte of a frame).
uint8_t Checksum(const uint8_t* bytes, size_t count);

// Writes preamble bytes, the body (delimiter through last data byte) and its checksum to
// out; returns the frame length.
size_t AssembleFrame(uint8_t* out, size_t preambles, const uint8_t* body, size_t bodyLength);

}  // namespace hart
