#include "serial/PortIo.h"

#include <poll.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>

namespace port_io {

int WaitUntilReady(int fd, short events, const Deadline& deadline, int wakeFd) {
    for (;;) {
        pollfd entries[2] = {{fd, events, 0}, {wakeFd, POLLIN, 0}};
        // A signal handler that wants the wait over signals the wake-up, so EINTR itself
        // only means "look again".
        const int ready = poll(entries, wakeFd >= 0 ? 2 : 1, deadline.RemainingMs());
        if (ready < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (wakeFd >= 0 && (entries[1].revents & POLLIN)) return kWokenUp;
        if (ready == 0) {
            if (deadline.Passed()) return kTimedOut;
            continue;
        }
        const pollfd& port = entries[0];
        if (port.revents & events) return 0;
        if (port.revents & POLLNVAL) return EBADF;
        return EIO;  // POLLHUP or POLLERR without data to move
    }
}

int ReadAvailable(int fd, uint8_t* buffer, size_t count, size_t& received) {
    size_t got = 0;
    while (got < count) {
        const ssize_t n = read(fd, buffer + got, count - got);
        if (n > 0) {
            got += static_cast<size_t>(n);
            continue;
        }
        if (n == 0) return EIO;  // hung up: raw reads with VMIN 1 never return 0 otherwise
        if (errno == EINTR) continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK) break;
        return errno;
    }
    received += got;
    return 0;
}

int WriteAccepted(int fd, const uint8_t* data, size_t count, size_t& sent) {
    size_t put = 0;
    while (put < count) {
        const ssize_t n = write(fd, data + put, count - put);
        if (n > 0) {
            put += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) break;
        return n < 0 ? errno : EIO;
    }
    sent += put;
    return 0;
}

bool IsPseudoTerminal(int fd) {
    // Unix98 pty slaves (/dev/pts/N) have majors 136-143; the old BSD ones (ttyp0) major 3.
    constexpr unsigned kFirstPtsMajor = 136, kLastPtsMajor = 143, kBsdPtySlaveMajor = 3;
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISCHR(info.st_mode)) return false;
    const unsigned kind = major(info.st_rdev);
    return (kind >= kFirstPtsMajor && kind <= kLastPtsMajor) || kind == kBsdPtySlaveMajor;
}

}  // namespace port_io
