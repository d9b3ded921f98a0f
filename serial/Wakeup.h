#pragma once

#include <cstdint>

// Ends the serial port's waits, and the link's pauses, early: an object that every wait
// watches beside the port (an eventfd on POSIX, a manual-reset event on Windows). Signal()
// may come from any thread, and on POSIX from a signal handler (it only writes to the
// descriptor). The wake-up stays signalled until Clear(), so a stop
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
    // The platform's object to wait on beside others (an eventfd, or an event HANDLE);
    // -1 if it could not be created.
    intptr_t Native() const { return m_native; }
    // POSIX: the eventfd to poll for POLLIN.
    int Fd() const { return static_cast<int>(m_native); }
    // Why the object could not be created (the platform's error), or 0. Without it nothing can end
    // a wait early, so the port refuses to open rather than wait beyond reach.
    int CreationError() const { return m_creationError; }
    // Waits up to `us` microseconds, to the millisecond's fraction; false when the wake-up
    // is (or becomes) signalled.
    bool SleepMicros(uint64_t us) const;

private:
    intptr_t m_native;
    int m_creationError = 0;
};

// POSIX: signals a wake-up through its bare descriptor; safe in a signal handler.
void SignalWakeupFd(int fd);
