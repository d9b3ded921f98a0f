#include "traffic/FrameDecoder.h"

#include <algorithm>

#include "hart/Encoding.h"
#include "hart/HartFrame.h"
#include "hart/LinkResult.h"

namespace traffic {

namespace {

using hart::kAddressBits;
using hart::kFrameTypeBurst;
using hart::kFrameTypeMasterToSlave;
using hart::kFrameTypeSlaveToMaster;
using hart::kLongAddressBytes;

constexpr size_t kStatusBytes = 2;
constexpr uint8_t kExpandedIdentityMark = 254;
constexpr size_t kPackedTagBytes = 6;
constexpr size_t kPackedDescriptorBytes = 12;
constexpr size_t kFloatBytes = 4;
constexpr size_t kMaxDeviceVariables = 4;  // PV, SV, TV, QV
constexpr uint8_t kTagDataByte = 1;        // command 4's request for the tag
constexpr unsigned kYearBase = 1900;

FrameKind KindOf(uint8_t delimiter, Direction direction) {
    switch (delimiter & hart::kFrameTypeBits) {
        case kFrameTypeMasterToSlave:
            return direction == Direction::Sent ? FrameKind::Request : FrameKind::OtherMaster;
        case kFrameTypeSlaveToMaster:
            return FrameKind::Answer;
        case kFrameTypeBurst:
            return FrameKind::Burst;
        default:
            return FrameKind::Unknown;
    }
}

uint32_t ThreeBytes(const uint8_t* bytes) {
    return static_cast<uint32_t>(bytes[0]) << 16 | static_cast<uint32_t>(bytes[1]) << 8 | bytes[2];
}

float FloatAt(std::span<const uint8_t> payload, size_t at) {
    float value = 0;
    DecodeFloat(&value, payload.data() + at);
    return value;
}

std::string Unpacked(std::span<const uint8_t> packed) {
    char text[22] = {};
    UnpackAscii(packed.data(), text, static_cast<uint8_t>(packed.size()));
    return text;
}

std::optional<Identity> DecodeIdentity(std::span<const uint8_t> p) {
    Identity id;
    if (!p.empty() && p[0] == kExpandedIdentityMark) {
        if (p.size() < 12) return std::nullopt;
        id.expanded = true;
        id.manufacturer = p[1];
        id.deviceType = p[2];
        id.preambles = p[3];
        id.universalRevision = p[4];
        id.deviceRevision = p[5];
        id.deviceId = ThreeBytes(&p[9]);
        return id;
    }
    if (p.size() < 10) return std::nullopt;
    id.deviceType = p[0];
    id.universalRevision = p[2];
    id.deviceRevision = p[3];
    id.deviceId = ThreeBytes(&p[7]);
    return id;
}

std::optional<DynamicVariables> DecodeDynamicVariables(std::span<const uint8_t> p) {
    constexpr size_t kVariableBytes = 1 + kFloatBytes;
    if (p.size() < kFloatBytes + kVariableBytes) return std::nullopt;
    DynamicVariables dv;
    dv.loopCurrentMa = FloatAt(p, 0);
    for (size_t at = kFloatBytes;
         at + kVariableBytes <= p.size() && dv.variables.size() < kMaxDeviceVariables;
         at += kVariableBytes) {
        dv.variables.push_back({p[at], FloatAt(p, at + 1)});
    }
    return dv;
}

std::optional<TagData> DecodeTagDescriptorDate(std::span<const uint8_t> p) {
    if (p.size() < kPackedTagBytes) return std::nullopt;
    TagData tag;
    tag.tag = Unpacked(p.first(kPackedTagBytes));
    size_t at = kPackedTagBytes;
    if (p.size() >= at + kPackedDescriptorBytes) {
        tag.descriptor = Unpacked(p.subspan(at, kPackedDescriptorBytes));
        at += kPackedDescriptorBytes;
        if (p.size() >= at + 3) tag.date = Date{p[at], p[at + 1], kYearBase + p[at + 2]};
    }
    return tag;
}

std::optional<TagData> DecodeOlderTag(std::span<const uint8_t> p) {
    if (p.size() < 1 + kPackedTagBytes || p[0] != kTagDataByte) return std::nullopt;
    return TagData{Unpacked(p.subspan(1, kPackedTagBytes)), std::nullopt, std::nullopt};
}

// The payload of the answers the program reads; nothing for other commands, or when the
// first status byte reports a communication error (then no payload follows).
void DecodePayload(DecodedFrame& d) {
    if (d.data.size() < kStatusBytes || IsCommunicationError(*d.responseCode)) return;
    const std::span<const uint8_t> payload = std::span(d.data).subspan(kStatusBytes);
    switch (*d.command) {
        case 0:
            d.identity = DecodeIdentity(payload);
            break;
        case 3:
            d.dynamicVariables = DecodeDynamicVariables(payload);
            break;
        case 4:
            d.tag = DecodeOlderTag(payload);
            break;
        case 13:
            d.tag = DecodeTagDescriptorDate(payload);
            break;
        default:
            break;
    }
}

void DecodeAddress(DecodedFrame& d, std::span<const uint8_t> address) {
    d.primaryMaster = (address[0] & hart::kPrimaryMasterBit) != 0;
    d.burstMode = (address[0] & hart::kBurstModeBit) != 0;
    if (!d.longAddress) {
        d.pollAddress = address[0] & kAddressBits;
        return;
    }
    d.manufacturer = address[0] & kAddressBits;
    d.deviceType = address[1];
    d.deviceId = ThreeBytes(&address[2]);
}

}  // namespace

DecodedFrame DecodeFrame(std::span<const uint8_t> bytes, Direction direction, unsigned linkResult) {
    DecodedFrame d;
    d.direction = direction;
    d.linkResult = linkResult;
    size_t at = 0;
    while (at < bytes.size() && bytes[at] == hart::kPreambleByte) ++at;
    d.preambles = at;
    if (at == bytes.size()) return d;

    const size_t start = at;
    d.delimiter = bytes[at++];
    d.kind = KindOf(d.delimiter, direction);
    d.longAddress = (d.delimiter & hart::kLongAddressDelimiterBit) != 0;
    d.truncated = true;
    const size_t addressBytes = d.longAddress ? kLongAddressBytes : 1;
    if (bytes.size() - at < addressBytes) return d;
    DecodeAddress(d, bytes.subspan(at, addressBytes));
    d.addressComplete = true;
    at += addressBytes;
    if (at == bytes.size()) return d;
    d.command = bytes[at++];
    if (at == bytes.size()) return d;
    d.byteCount = bytes[at++];

    const size_t dataBytes = std::min<size_t>(*d.byteCount, bytes.size() - at);
    d.data.assign(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                  bytes.begin() + static_cast<std::ptrdiff_t>(at + dataBytes));
    at += dataBytes;
    d.missingDataBytes = *d.byteCount - dataBytes;
    d.truncated = d.missingDataBytes > 0;

    const bool hasStatus = d.kind == FrameKind::Answer || d.kind == FrameKind::Burst;
    if (hasStatus && !d.data.empty()) d.responseCode = d.data[0];
    if (hasStatus && d.data.size() > 1) d.deviceStatus = d.data[1];
    if (hasStatus) DecodePayload(d);

    if (d.truncated) return d;
    if (at < bytes.size()) {
        d.checksumRead = bytes[at];
        d.checksumComputed = hart::Checksum(bytes.data() + start, at - start);
        d.checksum =
            d.checksumRead == d.checksumComputed ? ChecksumState::Good : ChecksumState::Bad;
        d.extraBytes = bytes.size() - at - 1;
    } else if (direction == Direction::Received && linkResult == kLinkOk) {
        d.checksum = ChecksumState::CheckedByLink;
    }
    return d;
}

}  // namespace traffic
