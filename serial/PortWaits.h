#pragma once

#include <chrono>
#include <cstdint>
#include <functional>

#include "serial/Wakeup.h"

// The waits every port backend shares: one deadline per transfer, and the drain of the
// driver's output queue in pauses that the wake-up ends.
namespace port_io {

class Deadline {
public:
    explicit Deadline(uint32_t timeoutMs);
    int RemainingMs() const;
    bool Passed() const;

private:
    std::chrono::steady_clock::time_point m_end;
};

inline constexpr int kTimedOut = -1;
inline constexpr int kWokenUp = -2;

// Waits until the driver's output queue is empty, pausing about as long as what it still
// holds takes to send at `baud`. queuedBytes reports that count (0 or errno). 0 once empty,
// kTimedOut at the deadline, kWokenUp as soon as the wake-up is signalled, or errno.
int WaitUntilQueueEmpty(const std::function<int(int& queued)>& queuedBytes, uint32_t baud,
                        const Deadline& deadline, const CWakeup& wakeup);

}  // namespace port_io
