#pragma once

#include <cstddef>
#include <cstdint>

#include "serial/PortWaits.h"

// Non-blocking reads and writes on a port descriptor, and waits for it with poll() against
// one deadline. All return 0 or errno; a line that hung up (a vanished USB modem, a pty
// whose other side closed) gives EIO rather than a wait that never ends.
namespace port_io {

// Waits until the descriptor is ready for events (POLLIN or POLLOUT): 0 when ready,
// kTimedOut at the deadline, kWokenUp as soon as wakeFd (an eventfd, or -1 for none) is
// signalled, or errno.
int WaitUntilReady(int fd, short events, const Deadline& deadline, int wakeFd);

// Reads whatever is there now into buffer[0..count), adding to received.
int ReadAvailable(int fd, uint8_t* buffer, size_t count, size_t& received);
// Writes what the driver takes now from data[0..count), adding to sent.
int WriteAccepted(int fd, const uint8_t* data, size_t count, size_t& sent);

// Whether the descriptor is the slave side of a pseudo-terminal (no UART behind it).
bool IsPseudoTerminal(int fd);

}  // namespace port_io
