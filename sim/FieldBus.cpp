#include "sim/FieldBus.h"

#include <algorithm>

#include "hart/HartFrame.h"

namespace sim {

namespace {
// Never 0xFF, so that the master's preamble hunt drops them.
constexpr uint8_t kJunk[] = {0x00, 0x3C, 0xA5};

bool IsMasterRequest(const Frame& frame) {
    return (frame.delimiter & hart::kFrameTypeBits) == hart::kFrameTypeMasterToSlave;
}
}  // namespace

FieldBus::FieldBus(const std::vector<DeviceConfig>& devices, const Behaviour& behaviour)
    : m_behaviour(behaviour) {
    const std::vector<DeviceConfig> line =
        devices.empty() ? std::vector{DefaultDevice(0)} : devices;
    for (size_t i = 0; i < line.size(); ++i) {
        m_devices.emplace_back(line[i], behaviour.busyAnswers, behaviour.burst && i == 0,
                               behaviour.busyForever);
    }
}

std::optional<HeardFrame> FieldBus::HearByte(uint8_t byte) {
    const RequestParser::Outcome outcome = m_parser.Feed(byte);
    if (outcome == RequestParser::Outcome::InProgress) return std::nullopt;
    HeardFrame heard;
    heard.frame = m_parser.Last();
    heard.checksumOk = outcome == RequestParser::Outcome::Complete;
    if (heard.checksumOk) {
        heard.dropped = DropsAnswerTo(heard.frame);
        if (!heard.dropped) heard.replies = Replies(heard.frame);
    }
    return heard;
}

Bytes FieldBus::Hear(const Bytes& heard) {
    Bytes out;
    if (m_behaviour.echo) out = heard;
    for (uint8_t byte : heard) {
        const auto result = HearByte(byte);
        if (!result) continue;
        if (m_behaviour.lateEchoBytes && !m_behaviour.echo) {
            // Without the echo at once only the request's tail comes back, late but before
            // the answer.
            const Bytes request = AsHeard(result->frame);
            const size_t tail = std::min<size_t>(m_behaviour.lateEchoBytes, request.size());
            out.insert(out.end(), request.end() - static_cast<std::ptrdiff_t>(tail), request.end());
        }
        for (const Transmission& t : result->replies) {
            out.insert(out.end(), t.bytes.begin(), t.bytes.end());
        }
    }
    return out;
}

bool FieldBus::DropsAnswerTo(const Frame& request) {
    if (!m_behaviour.dropEvery || !IsMasterRequest(request)) return false;
    return ++m_requests % m_behaviour.dropEvery == 0;
}

std::vector<Transmission> FieldBus::Replies(const Frame& request) {
    std::vector<Transmission> replies;
    if (m_behaviour.silent || !IsMasterRequest(request)) return replies;
    for (FieldDevice& device : m_devices) {
        if (!device.IsAddressed(request)) continue;
        ++m_answers;
        const bool corrupt =
            m_behaviour.badChecksumEvery && m_answers % m_behaviour.badChecksumEvery == 0;
        replies.push_back(Send(Transmission::Kind::Answer, device.Answer(request), corrupt));
        if (m_behaviour.burst) replies.push_back(Burst());
        break;  // one device per address
    }
    return replies;
}

Transmission FieldBus::Send(Transmission::Kind kind, const Frame& frame, bool corrupt) {
    Transmission t{kind, frame, {}, corrupt};
    if (m_behaviour.noise && kind == Transmission::Kind::Answer) {
        t.bytes.assign(std::begin(kJunk), std::end(kJunk));
    }
    const Bytes encoded = Encode(frame);
    t.bytes.insert(t.bytes.end(), encoded.begin(), encoded.end());
    if (corrupt) t.bytes.back() ^= 0x5A;
    return t;
}

Transmission FieldBus::Burst() {
    return Send(Transmission::Kind::Burst, m_devices.front().BurstFrame(), false);
}

Transmission FieldBus::OtherMasterRequest() {
    return Send(Transmission::Kind::OtherMaster, m_devices.front().OtherMasterRequest(), false);
}

}  // namespace sim
