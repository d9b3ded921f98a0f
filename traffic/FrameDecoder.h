#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

// What one frame on the line says, field by field: for the line traffic pane, its saved
// text and the command-line tool. Takes a request as the link wrote it (preamble to
// checksum), a reply as the link delivered it (no preamble, no checksum), or whatever a
// failed reception brought, and never reads past the bytes given.
namespace traffic {

enum class Direction { Sent, Received };

enum class FrameKind {
    None,         // no delimiter: a reception that brought no frame
    Request,      // our own request
    Answer,       // slave to master
    Burst,        // from a device in burst mode
    OtherMaster,  // a master's request that we did not send
    Unknown,      // a delimiter of no known frame type
};

enum class ChecksumState {
    Good,
    Bad,
    CheckedByLink,  // a delivered reply: the link checked its checksum and left it off
    Missing,        // the frame ended before its checksum (or was cut short earlier)
};

// Command 0's answer.
struct Identity {
    bool expanded = false;     // payload byte 0 is 254; else the older layout
    uint8_t manufacturer = 0;  // expanded layout only
    uint8_t deviceType = 0;
    uint8_t preambles = 0;  // expanded layout only: preambles the device wants in a request
    uint8_t universalRevision = 0;
    uint8_t deviceRevision = 0;
    uint32_t deviceId = 0;
};

struct DeviceVariable {
    uint8_t unit = 0;
    float value = 0;
};

// Command 3's answer (and a burst of it): the loop current, then PV, SV, TV, QV as far as
// the answer carries them.
struct DynamicVariables {
    float loopCurrentMa = 0;
    std::vector<DeviceVariable> variables;
};

struct Date {
    unsigned day = 0;
    unsigned month = 0;
    unsigned year = 0;
};

// Command 13's answer (tag, descriptor, date), or command 4's of an older device (tag only).
struct TagData {
    std::string tag;
    std::optional<std::string> descriptor;
    std::optional<Date> date;
};

struct DecodedFrame {
    Direction direction = Direction::Received;
    unsigned linkResult = 0;
    FrameKind kind = FrameKind::None;
    size_t preambles = 0;
    uint8_t delimiter = 0;

    bool longAddress = false;
    bool addressComplete = false;
    uint8_t pollAddress = 0;   // short address, without the master and burst bits
    uint8_t manufacturer = 0;  // long address, without the master and burst bits
    uint8_t deviceType = 0;
    uint32_t deviceId = 0;
    bool primaryMaster = false;  // bit 7 of the first address byte
    bool burstMode = false;      // bit 6 of the first address byte

    std::optional<uint8_t> command;
    std::optional<uint8_t> byteCount;
    std::vector<uint8_t> data;  // the data bytes that came, at most the byte count
    bool truncated = false;     // the bytes ended before the last data byte
    size_t missingDataBytes = 0;

    // Answers and bursts: the two status bytes that open the data.
    std::optional<uint8_t> responseCode;
    std::optional<uint8_t> deviceStatus;
    std::optional<Identity> identity;
    std::optional<DynamicVariables> dynamicVariables;
    std::optional<TagData> tag;

    ChecksumState checksum = ChecksumState::Missing;
    uint8_t checksumRead = 0;
    uint8_t checksumComputed = 0;
    size_t extraBytes = 0;  // bytes after the checksum
};

// linkResult: the link's code for the transfer (SendFrame's or ReceiveFrame's).
DecodedFrame DecodeFrame(std::span<const uint8_t> bytes, Direction direction, unsigned linkResult);

// Whether a first status byte reports a communication error rather than a response code.
constexpr bool IsCommunicationError(uint8_t firstStatus) { return (firstStatus & 0x80) != 0; }

// The response code of a device too busy to carry out the command now. Delayed-response
// codes (33, 34) are not: the device took the command.
constexpr uint8_t kResponseBusy = 32;

}  // namespace traffic
