#include "traffic/LineDiagnosis.h"

#include <algorithm>

#include "hart/HartLink.h"
#include "traffic/Reception.h"

namespace traffic {

namespace {

// Devices that give manufacturer 0x28 and type 0x61 answer for 0x2C, 0x0A; the link takes
// them as the device it polled.
bool IsKnownAlias(const DecodedFrame& answer, const DecodedFrame& request) {
    return answer.manufacturer == 0x28 && answer.deviceType == 0x61 &&
           request.manufacturer == 0x2C && request.deviceType == 0x0A;
}

bool SameAddress(const DecodedFrame& answer, const DecodedFrame& request) {
    if (answer.longAddress != request.longAddress) return false;
    if (!answer.longAddress) return answer.pollAddress == request.pollAddress;
    if (IsKnownAlias(answer, request)) return true;
    return answer.manufacturer == request.manufacturer && answer.deviceType == request.deviceType &&
           answer.deviceId == request.deviceId;
}

// The class of a reception, or none when it brought a usable answer (or nothing to judge).
std::optional<LineClass> ClassOf(const TrafficFrame& reception, const TrafficFrame& request) {
    if (reception.linkResult == kLinkInterrupted || reception.linkResult == kLinkPortError)
        return std::nullopt;
    if (!reception.lineErrorsAt.empty()) return LineClass::Corrupt;
    const ReceptionParts parts = SplitReception(reception);
    if (parts.frame.empty()) {
        if (parts.noise > 0) return LineClass::Noise;
        if (parts.echo > 0 || request.discarded > 0) return LineClass::EchoOnly;
        return LineClass::Silent;
    }
    const DecodedFrame answer = DecodeReception(reception, parts);
    if (answer.truncated || answer.checksum != ChecksumState::Good) return LineClass::Corrupt;
    if (answer.kind == FrameKind::OtherMaster) return LineClass::OtherAddress;
    if (answer.kind != FrameKind::Answer) return std::nullopt;
    if (!request.bytes.empty() &&
        !SameAddress(answer, DecodeFrame(request.bytes, Direction::Sent, request.linkResult)))
        return LineClass::OtherAddress;
    if (answer.responseCode == kResponseBusy) return LineClass::Busy;
    return std::nullopt;
}

}  // namespace

void CLineDiagnosis::Add(const TrafficFrame& frame) {
    const std::lock_guard<std::mutex> lock(m_mutex);
    if (frame.direction == Direction::Sent) {
        m_lastRequest = frame;
        return;
    }
    if (const std::optional<LineClass> found = ClassOf(frame, m_lastRequest))
        ++m_counts[static_cast<size_t>(*found)];
}

std::optional<LineClass> CLineDiagnosis::Verdict() const {
    const std::lock_guard<std::mutex> lock(m_mutex);
    // The class seen most often; on a tie the one that tells most (the later in the list).
    std::optional<LineClass> verdict;
    uint64_t most = 0;
    for (size_t i = 0; i < kClasses; ++i) {
        if (m_counts[i] > 0 && m_counts[i] >= most) {
            most = m_counts[i];
            verdict = static_cast<LineClass>(i);
        }
    }
    return verdict;
}

void CLineDiagnosis::Reset() {
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_counts = {};
    m_lastRequest = {};
}

const char* LineClassKey(LineClass lineClass) {
    switch (lineClass) {
        case LineClass::Silent:
            return "silent";
        case LineClass::EchoOnly:
            return "echo_only";
        case LineClass::Noise:
            return "noise";
        case LineClass::Corrupt:
            return "corrupt";
        case LineClass::OtherAddress:
            return "other_address";
        case LineClass::Busy:
            return "busy";
    }
    return "silent";
}

std::string LineClassText(LineClass lineClass, const Translate& translate) {
    const char* english = "";
    switch (lineClass) {
        case LineClass::Silent:
            english =
                "Nothing came back, not even the echo of the requests: check that the modem is "
                "powered and connected, the loop power, and the 250 \u03A9 load.";
            break;
        case LineClass::EchoOnly:
            english =
                "Only the echo of the requests came back: the modem sends, but no device "
                "answers. Check the device's polling address and the loop wiring.";
            break;
        case LineClass::Noise:
            english =
                "Only noise came back, with no preamble: check the loop wiring and its "
                "shielding, and that the modem is connected across the 250 \u03A9 load.";
            break;
        case LineClass::Corrupt:
            english =
                "Replies came with bad checksums, cut short or with parity errors: noise on "
                "the loop, a second master, or wrong line settings.";
            break;
        case LineClass::OtherAddress:
            english =
                "Answers came from another address than the one polled: check the device's "
                "polling address and what else is on the loop.";
            break;
        case LineClass::Busy:
            english =
                "The device answered busy: another master or a running command occupies it. "
                "Wait, then test again.";
            break;
    }
    return translate ? translate(english) : std::string(english);
}

}  // namespace traffic
