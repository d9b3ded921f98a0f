#include "traffic/WireText.h"

#include <algorithm>
#include <cstdio>

#include "hart/HartFrame.h"
#include "traffic/Reception.h"

namespace traffic {

namespace {

std::string Format(const Translate& translate, const char* english, unsigned value) {
    const std::string format = translate ? translate(english) : std::string(english);
    char text[256];
    std::snprintf(text, sizeof text, format.c_str(), value);
    return text;
}

void AppendHex(std::string& out, uint8_t byte, bool lineError) {
    char hex[8];
    std::snprintf(hex, sizeof hex, "%s%02X%s", out.empty() ? "" : " ", byte, lineError ? "!" : "");
    out += hex;
}

}  // namespace

std::string WireHex(const TrafficFrame& frame) {
    // The preamble run: a request's leading one, or the one before a received frame.
    size_t runStart = 0;
    size_t runLength = 0;
    if (frame.direction == Direction::Sent) {
        while (runLength < frame.bytes.size() && frame.bytes[runLength] == hart::kPreambleByte)
            ++runLength;
    } else if (frame.frameStart) {
        const ReceptionParts parts = SplitReception(frame);
        runStart = parts.preambleStart;
        runLength = parts.preambles;
    }
    std::string out;
    for (size_t at = 0; at < frame.bytes.size(); ++at) {
        if (runLength > 1 && at == runStart) {
            if (!out.empty()) out += ' ';
            out += "FF\u00D7" + std::to_string(runLength);
            const bool errorInRun =
                std::any_of(frame.lineErrorsAt.begin(), frame.lineErrorsAt.end(),
                            [&](uint32_t e) { return e >= runStart && e < runStart + runLength; });
            if (errorInRun) out += '!';
            at += runLength - 1;
            continue;
        }
        const bool lineError = std::find(frame.lineErrorsAt.begin(), frame.lineErrorsAt.end(),
                                         at) != frame.lineErrorsAt.end();
        AppendHex(out, frame.bytes[at], lineError);
    }
    return out;
}

std::vector<std::string> WireNotes(const TrafficFrame& frame, const Translate& translate) {
    std::vector<std::string> notes;
    const auto count = [](size_t n) { return static_cast<unsigned>(n); };
    if (frame.direction == Direction::Sent) {
        if (frame.discarded > 0)
            notes.push_back(Format(translate, "echo discarded: %u bytes", frame.discarded));
        return notes;
    }
    const ReceptionParts parts = SplitReception(frame);
    if (parts.noise > 0) {
        notes.push_back(
            frame.frameStart
                ? Format(translate, "noise: %u bytes before the preamble", count(parts.noise))
                : Format(translate, "noise: %u bytes without a frame", count(parts.noise)));
    }
    if (parts.echo > 0)
        notes.push_back(Format(translate, "echo dropped: %u bytes", count(parts.echo)));
    for (uint32_t at : frame.lineErrorsAt) {
        notes.push_back(frame.frameStart && at >= *frame.frameStart
                            ? Format(translate, "parity or framing error at frame byte %u",
                                     count(at - *frame.frameStart))
                            : Format(translate,
                                     "parity or framing error at byte %u of the reception",
                                     count(at)));
    }
    if (!parts.frame.empty()) {
        const DecodedFrame decoded = DecodeReception(frame, parts);
        if (decoded.truncated || decoded.checksum == ChecksumState::Missing)
            notes.push_back(
                Format(translate, "incomplete frame: %u bytes", count(parts.frame.size())));
        else if (decoded.checksum == ChecksumState::Bad)
            notes.push_back(Format(translate, "bad checksum: %u bytes", count(parts.frame.size())));
    }
    if (frame.discarded > 0)
        notes.push_back(
            Format(translate, "discarded after the reception: %u bytes", frame.discarded));
    return notes;
}

std::string JoinedNotes(const std::vector<std::string>& notes) {
    std::string joined;
    for (const std::string& note : notes) joined += (joined.empty() ? "" : "; ") + note;
    return joined;
}

}  // namespace traffic
