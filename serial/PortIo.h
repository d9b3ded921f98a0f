#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>

#include "serial/Wakeup.h"

// Non-blocking reads and writes on a port descriptor, and waits for it with poll() against
// one deadline. All return 0 or errno; a line that hung up (a vanished USB modem, a pty
// whose other side closed) gives EIO rather than a wait that never ends.
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

// Waits until the descriptor is ready for events (POLLIN or POLLOUT): 0 when ready,
// kTimedOut at the deadline, kWokenUp as soon as wakeFd (an eventfd, or -1 for none) is
// signalled, or errno.
int WaitUntilReady(int fd, short events, const Deadline& deadline, int wakeFd);

// Waits until the driver's output queue is empty, pausing about as long as what it still
// holds takes to send at `baud`. queuedBytes reports that count (0 or errno). 0 once empty,
// kTimedOut at the deadline, kWokenUp as soon as the wake-up is signalled, or errno.
int WaitUntilQueueEmpty(const std::function<int(int& queued)>& queuedBytes, uint32_t baud,
                        const Deadline& deadline, const CWakeup& wakeup);

// Reads whatever is there now into buffer[0..count), adding to received.
int ReadAvailable(int fd, uint8_t* buffer, size_t count, size_t& received);
// Writes what the driver takes now from data[0..count), adding to sent.
int WriteAccepted(int fd, const uint8_t* data, size_t count, size_t& sent);

// Whether the descriptor is the slave side of a pseudo-terminal (no UART behind it).
bool IsPseudoTerminal(int fd);

}  // namespace port_io
