#include "traffic/FrameText.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

#include "hart/HartFrame.h"
#include "hart/IdentityText.h"
#include "hart/LinkResultName.h"
#include "traffic/HartNames.h"

namespace traffic {

namespace {

__attribute__((format(printf, 1, 2))) std::string Format(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    const int length = std::vsnprintf(nullptr, 0, format, args);
    va_end(args);
    std::string text(length > 0 ? static_cast<size_t>(length) : 0, '\0');
    std::vsnprintf(text.data(), text.size() + 1, format, again);
    va_end(again);
    return text;
}

// Counts within one frame, as printf's plain %u: MinGW's format checking knows no %zu.
unsigned Count(size_t bytes) { return static_cast<unsigned>(bytes); }

std::string Join(const std::vector<const char*>& names) {
    std::string joined;
    for (const char* name : names) {
        if (!joined.empty()) joined += ", ";
        joined += name;
    }
    return joined;
}

std::string KindText(const DecodedFrame& d) {
    switch (d.kind) {
        case FrameKind::None:
            return "no frame";
        case FrameKind::Request:
            return "request";
        case FrameKind::Answer:
            return d.burstMode ? "answer (device in burst mode)" : "answer";
        case FrameKind::Burst:
            return "burst";
        case FrameKind::OtherMaster:
            return d.addressComplete && d.primaryMaster ? "other master's request (primary)"
                                                        : "other master's request";
        case FrameKind::Unknown:
            break;
    }
    return Format("unknown frame (delimiter 0x%02X)", d.delimiter);
}

std::string AddressText(const DecodedFrame& d) {
    if (!d.longAddress) return Format("poll address %u", d.pollAddress);
    return "manufacturer " + IdentityCodeText(d.manufacturer) + ", type " +
           IdentityCodeText(d.deviceType) + ", id " + HartIdText(d.deviceId);
}

std::string CommandText(uint8_t command) {
    const char* name = CommandName(command);
    return name ? Format("command %u %s", command, name) : Format("command %u", command);
}

std::string ResponseText(uint8_t code) {
    if (IsCommunicationError(code)) {
        const std::string errors = Join(CommunicationErrorNames(code));
        return "communication error" + (errors.empty() ? std::string() : ": " + errors);
    }
    const char* name = ResponseCodeName(code);
    return name ? Format("response %u %s", code, name) : Format("response %u", code);
}

std::string StatusText(uint8_t status) {
    return status == 0 ? std::string("status ok") : "status " + Join(DeviceStatusNames(status));
}

std::string VariableText(const char* label, const DeviceVariable& variable) {
    const char* unit = UnitName(variable.unit);
    return unit ? Format("%s %.6g %s", label, variable.value, unit)
                : Format("%s %.6g (unit %u)", label, variable.value, variable.unit);
}

std::string IdentityText(const Identity& id) {
    if (!id.expanded) {
        return "device type " + IdentityCodeText(id.deviceType) +
               Format(", universal revision %u, device revision %u, device id ",
                      id.universalRevision, id.deviceRevision) +
               HartIdText(id.deviceId) + " (older layout)";
    }
    return "manufacturer " + IdentityCodeText(id.manufacturer) + ", device type " +
           IdentityCodeText(id.deviceType) +
           Format(", preambles %u, universal revision %u, device revision %u, device id ",
                  id.preambles, id.universalRevision, id.deviceRevision) +
           HartIdText(id.deviceId);
}

std::string DynamicVariablesText(const DynamicVariables& dv) {
    static const char* const kLabels[] = {"PV", "SV", "TV", "QV"};
    std::string text = Format("loop current %.3f mA", dv.loopCurrentMa);
    for (size_t i = 0; i < dv.variables.size() && i < std::size(kLabels); ++i)
        text += ", " + VariableText(kLabels[i], dv.variables[i]);
    return text;
}

std::string TagText(const TagData& tag) {
    std::string text = "tag \"" + tag.tag + "\"";
    if (tag.descriptor) text += ", descriptor \"" + *tag.descriptor + "\"";
    if (tag.date) {
        text += Format(", date %04u-%02u-%02u", tag.date->year, tag.date->month, tag.date->day);
    }
    return text;
}

std::string ChecksumText(const DecodedFrame& d) {
    switch (d.checksum) {
        case ChecksumState::Good:
        case ChecksumState::CheckedByLink:
            return "checksum good";
        case ChecksumState::Bad:
            return Format("checksum bad (0x%02X, should be 0x%02X)", d.checksumRead,
                          d.checksumComputed);
        case ChecksumState::Missing:
            break;
    }
    return d.truncated ? std::string() : "no checksum";
}

std::string TruncationText(const DecodedFrame& d) {
    if (!d.truncated) return {};
    if (!d.byteCount) return "cut short in the header";
    return Format("cut short: %u of %u data bytes", Count(d.data.size()), *d.byteCount);
}

}  // namespace

std::string FrameSummary(const DecodedFrame& d) {
    std::vector<std::string> parts{KindText(d)};
    if (d.kind == FrameKind::None && d.preambles > 0)
        parts.push_back(Format("%u preamble bytes", Count(d.preambles)));
    if (d.addressComplete) parts.push_back(AddressText(d));
    if (d.command) parts.push_back(CommandText(*d.command));
    if (d.byteCount) parts.push_back(Format("byte count %u", *d.byteCount));
    if (d.responseCode) parts.push_back(ResponseText(*d.responseCode));
    if (d.deviceStatus) parts.push_back(StatusText(*d.deviceStatus));
    if (d.identity) parts.push_back(IdentityText(*d.identity));
    if (d.dynamicVariables) parts.push_back(DynamicVariablesText(*d.dynamicVariables));
    if (d.tag) parts.push_back(TagText(*d.tag));
    if (d.kind == FrameKind::Request && !d.data.empty())
        parts.push_back("data " + HexBytes(d.data));
    parts.push_back(TruncationText(d));
    if (d.kind != FrameKind::None) parts.push_back(ChecksumText(d));
    if (d.extraBytes > 0)
        parts.push_back(Format("%u more bytes after the checksum", Count(d.extraBytes)));
    if (d.linkResult != kLinkOk)
        parts.push_back(Format("result %u %s", d.linkResult, LinkResultName(d.linkResult)));

    std::string line;
    for (const std::string& part : parts) {
        if (part.empty()) continue;
        if (!line.empty()) line += " | ";
        line += part;
    }
    return line;
}

std::string DescribeFrame(std::span<const uint8_t> bytes, Direction direction,
                          unsigned linkResult) {
    return FrameSummary(DecodeFrame(bytes, direction, linkResult));
}

std::string HexBytes(std::span<const uint8_t> bytes) {
    std::string hex;
    hex.reserve(bytes.size() * 3);
    for (uint8_t byte : bytes) {
        if (!hex.empty()) hex += ' ';
        hex += Format("%02X", byte);
    }
    return hex;
}

}  // namespace traffic
