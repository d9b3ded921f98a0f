#include "sim/LineService.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>

namespace sim {

namespace {
constexpr double kStopCheckMs = 50.0;
// A frame broken off for this long is forgotten, so the next preamble starts afresh.
constexpr double kGapResetMs = 250.0;
// After a hang-up (the last opener closed the line) poll reports it at once; look again later.
constexpr double kHangupPauseMs = 50.0;

const char* KindName(Transmission::Kind kind) {
    switch (kind) {
        case Transmission::Kind::Answer:
            return "";
        case Transmission::Kind::Burst:
            return "  (burst)";
        case Transmission::Kind::OtherMaster:
            return "  (other master)";
    }
    return "";
}
}  // namespace

LineService::LineService(int fd, FieldBus& bus, const LineTiming& timing, Trace* trace)
    : m_fd(fd), m_bus(bus), m_timing(timing), m_trace(trace), m_start(Clock::now()) {}

double LineService::NowMs() const {
    return std::chrono::duration<double, std::milli>(Clock::now() - m_start).count();
}

void LineService::Run(const std::atomic<bool>& stop) {
    while (!stop.load()) {
        double now = NowMs();
        SendDue(now);
        SendUnprompted(now);
        const bool watchLine = now >= m_hangupUntilMs;
        pollfd entry{m_fd, POLLIN, 0};
        const double wait = std::clamp(NextWakeMs(now) - now, 0.0, kStopCheckMs);
        const int ready = poll(&entry, watchLine ? 1 : 0, static_cast<int>(std::ceil(wait)));
        if (ready < 0 && errno != EINTR) break;
        now = NowMs();
        if (ready > 0 && (entry.revents & POLLIN)) {
            ReadLine(now);
        } else if (ready > 0 && (entry.revents & (POLLHUP | POLLERR))) {
            m_hangupUntilMs = now + kHangupPauseMs;
        }
        if (m_bus.InFrame() && now - m_lastArrivalMs > kGapResetMs) m_bus.ResetLine();
    }
}

void LineService::ReadLine(double now) {
    uint8_t buffer[512];
    const ssize_t n = read(m_fd, buffer, sizeof buffer);
    if (n <= 0) {
        // EIO when nobody holds the other side open: wait for the next opener.
        if (n == 0 || (errno != EAGAIN && errno != EINTR)) m_hangupUntilMs = now + kHangupPauseMs;
        return;
    }
    m_lastArrivalMs = now;
    const Bytes heard(buffer, buffer + n);
    if (m_bus.Behave().echo) {
        WriteBytes(heard.data(), heard.size());
        if (m_trace) m_trace->Echoed(now, heard);
    }
    for (uint8_t byte : heard) {
        // Each character ends one character time after the later of its arrival and the
        // end of the one before: the request is complete only when a 1200-baud line would
        // have carried its last byte.
        m_heardEndMs = std::max(now, m_heardEndMs) + m_timing.byteMs;
        const auto result = m_bus.HearByte(byte);
        if (!result) continue;
        if (m_trace) m_trace->Heard(now, result->frame, result->checksumOk);
        double start = m_heardEndMs + m_timing.turnaroundMs;
        for (const Transmission& t : result->replies) {
            Schedule(t, std::max(start, m_sentEndMs + m_timing.turnaroundMs));
            start = m_sentEndMs + m_timing.turnaroundMs;
        }
    }
}

void LineService::Schedule(const Transmission& t, double startMs) {
    for (size_t i = 0; i < t.bytes.size(); ++i) {
        const double due =
            m_timing.fast ? startMs : startMs + static_cast<double>(i) * m_timing.byteMs;
        m_pending.push_back({due, t.bytes[i]});
    }
    m_announcements.push_back({startMs, KindName(t.kind), t.bytes});
    m_sentEndMs = startMs + static_cast<double>(t.bytes.size()) * m_timing.byteMs;
}

void LineService::SendDue(double now) {
    while (!m_announcements.empty() && m_announcements.front().dueMs <= now) {
        if (m_trace)
            m_trace->Sent(now, m_announcements.front().what, m_announcements.front().bytes);
        m_announcements.pop_front();
    }
    Bytes due;
    while (!m_pending.empty() && m_pending.front().dueMs <= now) {
        due.push_back(m_pending.front().byte);
        m_pending.pop_front();
    }
    if (!due.empty()) WriteBytes(due.data(), due.size());
}

double LineService::SilenceEndMs() const {
    const Behaviour& b = m_bus.Behave();
    const uint32_t period = (b.burst && (!b.otherMaster || m_unpromptedTurn % 2 == 0))
                                ? b.burstPeriodMs
                                : b.otherMasterPeriodMs;
    return std::max({m_heardEndMs, m_sentEndMs, m_lastArrivalMs}) + period;
}

void LineService::SendUnprompted(double now) {
    const Behaviour& b = m_bus.Behave();
    if ((!b.burst && !b.otherMaster) || !m_pending.empty() || m_bus.InFrame()) return;
    if (now < SilenceEndMs()) return;
    const bool burst = b.burst && (!b.otherMaster || m_unpromptedTurn % 2 == 0);
    ++m_unpromptedTurn;
    Schedule(burst ? m_bus.Burst() : m_bus.OtherMasterRequest(), now);
    SendDue(now);
}

double LineService::NextWakeMs(double now) const {
    double next = now + kStopCheckMs;
    if (!m_pending.empty()) next = std::min(next, m_pending.front().dueMs);
    const Behaviour& b = m_bus.Behave();
    if ((b.burst || b.otherMaster) && m_pending.empty()) next = std::min(next, SilenceEndMs());
    if (m_hangupUntilMs > now) next = std::min(next, m_hangupUntilMs);
    return next;
}

void LineService::WriteBytes(const uint8_t* bytes, size_t count) {
    // Nobody listening and the queue full, or the line gone: the bytes are lost, as they
    // are on a real line.
    while (count > 0) {
        const ssize_t n = write(m_fd, bytes, count);
        if (n <= 0) {
            if (n < 0 && errno == EINTR) continue;
            return;
        }
        bytes += n;
        count -= static_cast<size_t>(n);
    }
}

}  // namespace sim
