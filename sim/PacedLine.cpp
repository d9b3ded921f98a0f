#include "sim/PacedLine.h"

#include <algorithm>
#include <limits>

#include "hart/HartFrame.h"

namespace sim {

namespace {
// A frame broken off for this long is forgotten, so the next preamble starts afresh.
constexpr double kGapResetMs = 250.0;
constexpr double kNever = std::numeric_limits<double>::infinity();
// Steps of trickle and babble are never shorter, whatever the caller set: no busy loop.
constexpr double kShortestStepMs = 1.0;

const char* KindName(const Transmission& t) {
    switch (t.kind) {
        case Transmission::Kind::Answer:
            return t.corrupt ? "  (bad checksum)" : "";
        case Transmission::Kind::Burst:
            return "  (burst)";
        case Transmission::Kind::OtherMaster:
            return "  (other master)";
    }
    return "";
}
}  // namespace

PacedLine::PacedLine(FieldBus& bus, const LineTiming& timing, Trace* trace)
    : m_bus(bus),
      m_timing(timing),
      m_trace(trace),
      m_nextTrickleMs(std::max<double>(bus.Behave().tricklePeriodMs, kShortestStepMs)) {}

void PacedLine::Hear(double now, const Bytes& bytes) {
    if (bytes.empty()) return;
    m_lastArrivalMs = now;
    const Bytes echo = EchoAtOnce(bytes);
    if (!echo.empty()) {
        m_echoNow.insert(m_echoNow.end(), echo.begin(), echo.end());
        if (m_trace) m_trace->Echoed(now, echo);
    }
    // The answer never overtakes the late tail of the request's echo.
    const double delay =
        std::max(m_timing.turnaroundMs, m_bus.Behave().lateEchoBytes ? kLateEchoDelayMs : 0.0);
    for (uint8_t byte : bytes) {
        // Each character ends one character time after the later of its arrival and the
        // end of the one before: the request is complete only when a 1200-baud line would
        // have carried its last byte.
        m_heardEndMs = std::max(now, m_heardEndMs) + m_timing.byteMs;
        const auto result = m_bus.HearByte(byte);
        if (!result) continue;
        if (m_trace) m_trace->Heard(now, result->frame, result->checksumOk, result->dropped);
        double start = m_heardEndMs + delay;
        for (const Transmission& t : result->replies) {
            if (Leaving()) break;
            Schedule(t, std::max(start, m_sentEndMs + m_timing.turnaroundMs));
            start = m_sentEndMs + m_timing.turnaroundMs;
        }
    }
    m_echoDueMs = m_heardEndMs + kLateEchoDelayMs;
}

Bytes PacedLine::EchoAtOnce(const Bytes& heard) {
    const Behaviour& b = m_bus.Behave();
    m_echoHeld.insert(m_echoHeld.end(), heard.begin(), heard.end());
    const auto cut = m_echoHeld.end() - std::min<size_t>(b.lateEchoBytes, m_echoHeld.size());
    Bytes atOnce = b.echo ? Bytes(m_echoHeld.begin(), cut) : Bytes{};
    m_echoHeld.erase(m_echoHeld.begin(), cut);
    return atOnce;
}

void PacedLine::Schedule(const Transmission& t, double startMs) {
    const double endMs = startMs + static_cast<double>(t.bytes.size()) * m_timing.byteMs;
    const bool answer = t.kind == Transmission::Kind::Answer;
    m_queue.push_back({startMs, endMs, KindName(t), t.bytes, answer});
    m_sentEndMs = endMs;
    if (answer) ++m_answersScheduled;
}

bool PacedLine::Leaving() const {
    const unsigned last = m_bus.Behave().vanishAfter;
    return last > 0 && m_answersScheduled >= last;
}

Bytes PacedLine::Take(double now) {
    if (m_bus.InFrame() && now - m_lastArrivalMs >= kGapResetMs) m_bus.ResetLine();
    if (m_lastAnswerSentMs) return {};
    Bytes out;
    out.swap(m_echoNow);
    StartUnprompted(now);
    for (Next next = NextOutput(); next.source != Source::None && next.atMs <= now;
         next = NextOutput()) {
        Emit(next, now, out);
        if (m_lastAnswerSentMs) break;
    }
    return out;
}

double PacedLine::SilenceEndMs() const {
    const Behaviour& b = m_bus.Behave();
    const uint32_t period = (b.burst && (!b.otherMaster || m_unpromptedTurn % 2 == 0))
                                ? b.burstPeriodMs
                                : b.otherMasterPeriodMs;
    return std::max({m_heardEndMs, m_sentEndMs, m_lastArrivalMs}) + period;
}

bool PacedLine::UnpromptedDue(double now) const {
    const Behaviour& b = m_bus.Behave();
    return (b.burst || b.otherMaster) && m_queue.empty() && !m_bus.InFrame() && !Leaving() &&
           now >= SilenceEndMs();
}

void PacedLine::StartUnprompted(double now) {
    if (!UnpromptedDue(now)) return;
    const Behaviour& b = m_bus.Behave();
    const bool burst = b.burst && (!b.otherMaster || m_unpromptedTurn % 2 == 0);
    ++m_unpromptedTurn;
    Schedule(burst ? m_bus.Burst() : m_bus.OtherMasterRequest(), now);
}

PacedLine::Next PacedLine::NextOutput() const {
    Next next;
    // On a tie the source considered first goes first.
    auto consider = [&next](Source source, double atMs) {
        if (next.source == Source::None || atMs < next.atMs) next = {source, atMs};
    };
    if (!m_echoHeld.empty()) consider(Source::LateEcho, m_echoDueMs);
    if (!m_queue.empty()) {
        const Outgoing& o = m_queue.front();
        double at =
            m_timing.fast ? o.startMs : o.startMs + static_cast<double>(o.sent) * m_timing.byteMs;
        if (o.sent == 0 && !m_echoHeld.empty()) at = std::max(at, m_echoDueMs);
        consider(Source::Transmission, at);
    }
    // Neither breaks into a transmission under way: they wait for its end.
    const Behaviour& b = m_bus.Behave();
    if (b.trickle) consider(Source::Trickle, std::max(m_nextTrickleMs, m_busyUntilMs));
    if (b.babble) consider(Source::Babble, std::max(m_nextBabbleMs, m_busyUntilMs));
    return next;
}

void PacedLine::Emit(const Next& next, double now, Bytes& out) {
    switch (next.source) {
        case Source::None:
            return;
        case Source::LateEcho:
            out.insert(out.end(), m_echoHeld.begin(), m_echoHeld.end());
            if (m_trace) m_trace->Echoed(now, m_echoHeld, true);
            m_echoHeld.clear();
            return;
        case Source::Transmission:
            EmitTransmissionByte(now, out);
            return;
        case Source::Trickle: {
            out.push_back(hart::kPreambleByte);
            // Every period from the start; one held back by a transmission keeps the beat.
            const double period = std::max<double>(m_bus.Behave().tricklePeriodMs, kShortestStepMs);
            while (m_nextTrickleMs <= next.atMs) m_nextTrickleMs += period;
            return;
        }
        case Source::Babble:
            out.push_back(hart::kPreambleByte);
            m_nextBabbleMs = next.atMs + std::max(m_timing.byteMs, kShortestStepMs);
            return;
    }
}

void PacedLine::EmitTransmissionByte(double now, Bytes& out) {
    Outgoing& o = m_queue.front();
    if (o.sent == 0) {
        if (m_trace) m_trace->Sent(now, o.what, o.bytes);
        m_busyUntilMs = std::max(m_busyUntilMs, o.endMs);
    }
    out.push_back(o.bytes[o.sent++]);
    if (o.sent < o.bytes.size()) return;
    const bool answer = o.answer;
    m_queue.pop_front();
    const unsigned last = m_bus.Behave().vanishAfter;
    if (answer && ++m_answersSent == last) {
        m_lastAnswerSentMs = now;
        m_queue.clear();
        m_echoHeld.clear();
    }
}

double PacedLine::NextDueMs() const {
    if (m_lastAnswerSentMs) return kNever;
    if (!m_echoNow.empty()) return m_lastArrivalMs;
    const Next next = NextOutput();
    double due = next.source == Source::None ? kNever : next.atMs;
    const Behaviour& b = m_bus.Behave();
    if (m_bus.InFrame()) {
        due = std::min(due, m_lastArrivalMs + kGapResetMs);
    } else if ((b.burst || b.otherMaster) && m_queue.empty() && !Leaving()) {
        due = std::min(due, SilenceEndMs());
    }
    return due;
}

}  // namespace sim
