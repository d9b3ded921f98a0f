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

// The English text, or its translation.
std::string Word(const Translate& translate, const char* english) {
    return translate ? translate(english) : std::string(english);
}

// Format's arguments are checked against the English format; the translation must take
// the same ones (the pane's hook makes sure of that).
__attribute__((format(printf, 2, 3))) std::string Text(const Translate& translate,
                                                       const char* english, ...) {
    const std::string format = Word(translate, english);
    va_list args;
    va_start(args, english);
    va_list again;
    va_copy(again, args);
    const int length = std::vsnprintf(nullptr, 0, format.c_str(), args);
    va_end(args);
    std::string text(length > 0 ? static_cast<size_t>(length) : 0, '\0');
    std::vsnprintf(text.data(), text.size() + 1, format.c_str(), again);
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

std::string KindText(const DecodedFrame& d, const Translate& tr) {
    switch (d.kind) {
        case FrameKind::None:
            return Word(tr, "no frame");
        case FrameKind::Request:
            return Word(tr, "request");
        case FrameKind::Answer:
            return Word(tr, d.burstMode ? "answer (device in burst mode)" : "answer");
        case FrameKind::Burst:
            return Word(tr, "burst");
        case FrameKind::OtherMaster:
            return Word(tr, d.addressComplete && d.primaryMaster
                                ? "other master's request (primary)"
                                : "other master's request");
        case FrameKind::Unknown:
            break;
    }
    return Text(tr, "unknown frame (delimiter 0x%02X)", d.delimiter);
}

std::string AddressText(const DecodedFrame& d, const Translate& tr) {
    if (!d.longAddress) return Text(tr, "poll address %u", d.pollAddress);
    return Text(tr, "manufacturer %s, type %s, id %s", IdentityCodeText(d.manufacturer).c_str(),
                IdentityCodeText(d.deviceType).c_str(), HartIdText(d.deviceId).c_str());
}

std::string ResponseText(uint8_t code, const Translate& tr) {
    if (IsCommunicationError(code)) {
        const std::string errors = Join(CommunicationErrorNames(code));
        return errors.empty() ? Word(tr, "communication error")
                              : Text(tr, "communication error: %s", errors.c_str());
    }
    const char* name = ResponseCodeName(code);
    return name ? Text(tr, "response %u %s", code, name) : Text(tr, "response %u", code);
}

std::string StatusText(uint8_t status, const Translate& tr) {
    return status == 0 ? Word(tr, "status ok")
                       : Text(tr, "status %s", Join(DeviceStatusNames(status)).c_str());
}

std::string VariableText(const char* label, const DeviceVariable& variable, const Translate& tr) {
    const char* unit = UnitName(variable.unit);
    return unit ? Format("%s %.6g %s", label, variable.value, unit)
                : Text(tr, "%s %.6g (unit %u)", label, variable.value, variable.unit);
}

std::string IdentityText(const Identity& id, const Translate& tr) {
    const std::string type = IdentityCodeText(id.deviceType);
    const std::string deviceId = HartIdText(id.deviceId);
    if (!id.expanded) {
        return Text(tr,
                    "device type %s, universal revision %u, device revision %u, device id %s "
                    "(older layout)",
                    type.c_str(), id.universalRevision, id.deviceRevision, deviceId.c_str());
    }
    return Text(tr,
                "manufacturer %s, device type %s, preambles %u, universal revision %u, device "
                "revision %u, device id %s",
                IdentityCodeText(id.manufacturer).c_str(), type.c_str(), id.preambles,
                id.universalRevision, id.deviceRevision, deviceId.c_str());
}

std::string DynamicVariablesText(const DynamicVariables& dv, const Translate& tr) {
    static const char* const kLabels[] = {"PV", "SV", "TV", "QV"};
    std::string text = Text(tr, "loop current %.3f mA", dv.loopCurrentMa);
    for (size_t i = 0; i < dv.variables.size() && i < std::size(kLabels); ++i)
        text += ", " + VariableText(kLabels[i], dv.variables[i], tr);
    return text;
}

std::string TagText(const TagData& tag, const Translate& tr) {
    std::string text = Text(tr, "tag \"%s\"", tag.tag.c_str());
    if (tag.descriptor) text += Text(tr, ", descriptor \"%s\"", tag.descriptor->c_str());
    if (tag.date) {
        text += Text(tr, ", date %04u-%02u-%02u", tag.date->year, tag.date->month, tag.date->day);
    }
    return text;
}

std::string ChecksumText(const DecodedFrame& d, const Translate& tr) {
    switch (d.checksum) {
        case ChecksumState::Good:
        case ChecksumState::CheckedByLink:
            return Word(tr, "checksum good");
        case ChecksumState::Bad:
            return Text(tr, "checksum bad (0x%02X, should be 0x%02X)", d.checksumRead,
                        d.checksumComputed);
        case ChecksumState::Missing:
            break;
    }
    return d.truncated ? std::string() : Word(tr, "no checksum");
}

std::string TruncationText(const DecodedFrame& d, const Translate& tr) {
    if (!d.truncated) return {};
    if (!d.byteCount) return Word(tr, "cut short in the header");
    return Text(tr, "cut short: %u of %u data bytes", Count(d.data.size()), *d.byteCount);
}

std::string LinkResultText(unsigned result, const Translate& tr) {
    return Word(tr, LinkResultName(result));
}

// Which column of the line traffic a part of the summary belongs to.
enum class Cell { Decode, Address, Command, Result };

struct Part {
    Cell cell;
    std::string text;
};

std::vector<Part> SummaryParts(const DecodedFrame& d, const Translate& tr) {
    std::vector<Part> parts{{Cell::Decode, KindText(d, tr)}};
    const auto add = [&](Cell cell, std::string text) {
        if (!text.empty()) parts.push_back({cell, std::move(text)});
    };
    if (d.kind == FrameKind::None && d.preambles > 0)
        add(Cell::Decode, Text(tr, "%u preamble bytes", Count(d.preambles)));
    if (d.addressComplete) add(Cell::Address, AddressText(d, tr));
    if (d.command) {
        const char* name = CommandName(*d.command);
        add(Cell::Command, name ? Text(tr, "command %u %s", *d.command, name)
                                : Text(tr, "command %u", *d.command));
    }
    if (d.byteCount) add(Cell::Decode, Text(tr, "byte count %u", *d.byteCount));
    if (d.responseCode) add(Cell::Result, ResponseText(*d.responseCode, tr));
    if (d.deviceStatus) add(Cell::Result, StatusText(*d.deviceStatus, tr));
    if (d.identity) add(Cell::Decode, IdentityText(*d.identity, tr));
    if (d.dynamicVariables) add(Cell::Decode, DynamicVariablesText(*d.dynamicVariables, tr));
    if (d.tag) add(Cell::Decode, TagText(*d.tag, tr));
    if (d.kind == FrameKind::Request && !d.data.empty())
        add(Cell::Decode, Text(tr, "data %s", HexBytes(d.data).c_str()));
    add(Cell::Decode, TruncationText(d, tr));
    if (d.kind != FrameKind::None) add(Cell::Decode, ChecksumText(d, tr));
    if (d.extraBytes > 0)
        add(Cell::Decode, Text(tr, "%u more bytes after the checksum", Count(d.extraBytes)));
    if (d.linkResult != kLinkOk) {
        add(Cell::Result,
            Text(tr, "result %u %s", d.linkResult, LinkResultText(d.linkResult, tr).c_str()));
    }
    return parts;
}

std::string Joined(const std::vector<Part>& parts, bool decodeOnly) {
    std::string line;
    for (const Part& part : parts) {
        if (decodeOnly && part.cell != Cell::Decode) continue;
        if (!line.empty()) line += " | ";
        line += part.text;
    }
    return line;
}

// The one cell a technician reads first: what went wrong, or "ok".
std::string ResultCell(const DecodedFrame& d, const Translate& tr) {
    if (d.checksum == ChecksumState::Bad) return Word(tr, "checksum bad");
    if (d.linkResult == kLinkDataIncomplete || (d.linkResult != kLinkOk && d.truncated))
        return Word(tr, "incomplete");
    if (d.linkResult != kLinkOk) return LinkResultText(d.linkResult, tr);
    std::string result;
    if (d.responseCode && *d.responseCode != 0) result = ResponseText(*d.responseCode, tr);
    if (d.deviceStatus && *d.deviceStatus != 0)
        result += (result.empty() ? "" : ", ") + StatusText(*d.deviceStatus, tr);
    return result.empty() ? LinkResultText(kLinkOk, tr) : result;
}

}  // namespace

std::string FrameSummary(const DecodedFrame& d, const Translate& translate) {
    return Joined(SummaryParts(d, translate), false);
}

FrameCells FrameColumns(const DecodedFrame& d, const Translate& translate) {
    FrameCells cells;
    if (d.addressComplete) {
        cells.address = d.longAddress ? Format("0x%02X 0x%02X %06X", d.manufacturer, d.deviceType,
                                               static_cast<unsigned>(d.deviceId))
                                      : Format("%u", d.pollAddress);
    }
    if (d.command) {
        const char* name = CommandName(*d.command);
        cells.command = name ? Format("%u %s", *d.command, name) : Format("%u", *d.command);
    }
    cells.result = ResultCell(d, translate);
    cells.decode = Joined(SummaryParts(d, translate), true);
    return cells;
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
