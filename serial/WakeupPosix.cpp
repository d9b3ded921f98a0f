#include "serial/Wakeup.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>

CWakeup::CWakeup() : m_native(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {
    if (m_native < 0) m_creationError = errno;
}

CWakeup::~CWakeup() {
    if (Fd() >= 0) close(Fd());
}

void SignalWakeupFd(int fd) {
    if (fd < 0) return;
    const uint64_t one = 1;
    // A full counter is still signalled, so a failed write loses nothing.
    [[maybe_unused]] const ssize_t n = write(fd, &one, sizeof one);
}

void CWakeup::Signal() const { SignalWakeupFd(Fd()); }

void CWakeup::Clear() const {
    uint64_t count = 0;
    if (Fd() >= 0) [[maybe_unused]]
        const ssize_t n = read(Fd(), &count, sizeof count);
}

bool CWakeup::IsSignalled() const { return !SleepMicros(0); }

bool CWakeup::SleepMicros(uint64_t us) const {
    timespec left{static_cast<time_t>(us / 1000000), static_cast<long>(us % 1000000) * 1000};
    if (Fd() < 0) {
        while (nanosleep(&left, &left) != 0 && errno == EINTR) {
        }
        return true;
    }
    timespec end{};
    clock_gettime(CLOCK_MONOTONIC, &end);
    end.tv_sec += left.tv_sec;
    end.tv_nsec += left.tv_nsec;
    if (end.tv_nsec >= 1000000000) {
        end.tv_nsec -= 1000000000;
        ++end.tv_sec;
    }
    for (;;) {
        pollfd entry{Fd(), POLLIN, 0};
        const int ready = ppoll(&entry, 1, &left, nullptr);
        if (ready > 0) return false;
        if (ready == 0 || errno != EINTR) return true;
        // A signal cut the wait short: wait for what is left (its handler may have signalled).
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        const int64_t remaining =
            (end.tv_sec - now.tv_sec) * 1000000000LL + end.tv_nsec - now.tv_nsec;
        if (remaining <= 0) return !IsSignalled();
        left = {static_cast<time_t>(remaining / 1000000000),
                static_cast<long>(remaining % 1000000000)};
    }
}
