#pragma once

#include <cstdint>

// Ends the serial port's waits, and the link's pauses, early: an eventfd that every wait
// polls beside the port. Signal() may come from any thread, and from a signal handler (it
// only writes to the descriptor). The wake-up stays signalled until Clear(), so a stop
// request reaches every wait that follows it, not just the one in progress.
class CWakeup {
public:
    CWakeup();
    ~CWakeup();
    CWakeup(const CWakeup&) = delete;
    CWakeup& operator=(const CWakeup&) = delete;

    void Signal() const;
    void Clear() const;
    bool IsSignalled() const;
    // The descriptor to poll for POLLIN beside others; -1 if it could not be created.
    int Fd() const { return m_fd; }
    // Why the descriptor could not be created (errno), or 0. Without it nothing can end a
    // wait early, so the port refuses to open rather than wait beyond reach.
    int CreationError() const { return m_creationError; }
    // Waits up to `us` microseconds; false when the wake-up is (or becomes) signalled.
    bool SleepMicros(uint64_t us) const;

private:
    int m_fd;
    int m_creationError = 0;
};

// Signals a wake-up through its bare descriptor; safe in a signal handler.
void SignalWakeupFd(int fd);
