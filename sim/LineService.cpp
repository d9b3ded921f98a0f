#include "sim/LineService.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>

namespace sim {

namespace {
constexpr double kStopCheckMs = 50.0;
// After a hang-up (the last opener closed the line) poll reports it at once; look again later.
constexpr double kHangupPauseMs = 50.0;
// A vanishing line waits this long at most for the master to read its last answer: the
// kernel throws away what is unread when the line goes.
constexpr double kVanishWaitMs = 500.0;
// How often it looks whether the master has read it.
constexpr double kDrainCheckMs = 2.0;
}  // namespace

LineService::LineService(int fd, FieldBus& bus, const LineTiming& timing, Trace* trace)
    : m_fd(fd), m_line(bus, timing, trace), m_start(Clock::now()) {}

double LineService::NowMs() const {
    return std::chrono::duration<double, std::milli>(Clock::now() - m_start).count();
}

LineService::End LineService::Run(const std::atomic<bool>& stop) {
    while (!stop.load()) {
        double now = NowMs();
        WriteBytes(m_line.Take(now));
        if (ReadyToVanish(now)) return End::Vanished;
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
    }
    return End::Stopped;
}

void LineService::ReadLine(double now) {
    uint8_t buffer[512];
    const ssize_t n = read(m_fd, buffer, sizeof buffer);
    if (n <= 0) {
        // EIO when nobody holds the other side open: wait for the next opener.
        if (n == 0 || (errno != EAGAIN && errno != EINTR)) m_hangupUntilMs = now + kHangupPauseMs;
        return;
    }
    m_line.Hear(now, Bytes(buffer, buffer + n));
}

bool LineService::ReadyToVanish(double now) const {
    const auto lastAnswer = m_line.LastAnswerSentMs();
    if (!lastAnswer) return false;
    return now - *lastAnswer >= kVanishWaitMs || (m_drained && m_drained());
}

double LineService::NextWakeMs(double now) const {
    double next = std::min(now + kStopCheckMs, m_line.NextDueMs());
    if (m_line.LastAnswerSentMs()) next = std::min(next, now + kDrainCheckMs);
    if (m_hangupUntilMs > now) next = std::min(next, m_hangupUntilMs);
    return next;
}

void LineService::WriteBytes(const Bytes& bytes) {
    // Nobody listening and the queue full, or the line gone: the bytes are lost, as they
    // are on a real line.
    const uint8_t* data = bytes.data();
    size_t count = bytes.size();
    while (count > 0) {
        const ssize_t n = write(m_fd, data, count);
        if (n <= 0) {
            if (n < 0 && errno == EINTR) continue;
            return;
        }
        data += n;
        count -= static_cast<size_t>(n);
    }
}

}  // namespace sim
