#include "serial/PortWaits.h"

#include <algorithm>

namespace port_io {

Deadline::Deadline(uint32_t timeoutMs)
    : m_end(std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs)) {}

int Deadline::RemainingMs() const {
    const auto left = m_end - std::chrono::steady_clock::now();
    if (left <= std::chrono::steady_clock::duration::zero()) return 0;
    // Rounded up, so a wait never ends just short of the deadline and spins.
    return static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(left).count());
}

bool Deadline::Passed() const { return std::chrono::steady_clock::now() >= m_end; }

int WaitUntilQueueEmpty(const std::function<int(int& queued)>& queuedBytes, uint32_t baud,
                        const Deadline& deadline, const CWakeup& wakeup) {
    constexpr uint64_t kBitsPerCharacter = 11, kMinimumPauseUs = 500;
    for (;;) {
        int queued = 0;
        if (const int error = queuedBytes(queued)) return error;
        if (queued <= 0) return 0;
        if (deadline.Passed()) return kTimedOut;
        const uint64_t leftUs = uint64_t(deadline.RemainingMs()) * 1000;
        uint64_t pauseUs = uint64_t(queued) * kBitsPerCharacter * 1000000 / baud;
        pauseUs = std::clamp(pauseUs, kMinimumPauseUs, std::max(leftUs, kMinimumPauseUs));
        if (!wakeup.SleepMicros(pauseUs)) return kWokenUp;
    }
}

}  // namespace port_io
