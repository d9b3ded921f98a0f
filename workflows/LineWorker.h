#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>

#include "serial/Wakeup.h"

// Runs a window's blocking line work (a poll test's exchanges, a PV tick) on a thread of its
// own while the window goes on serving its events: it repaints, moves and can be closed. A
// window that closes, or a Stop, cuts the work short through the port's wake-up.
class CLineWorker {
public:
    explicit CLineWorker(const CWakeup& wakeup) : m_wakeup(wakeup) {}
    ~CLineWorker() { Cancel(); }
    CLineWorker(const CLineWorker&) = delete;
    CLineWorker& operator=(const CLineWorker&) = delete;

    // Runs work and returns when it has finished, the calling (user-interface) thread
    // serving events meanwhile: true when it ran to its end, false when Cancel cut it short
    // or work was already in progress (then nothing is run).
    bool Run(const std::function<void()>& work);
    bool Busy();
    // Ends the work in progress early and waits until it has ended. The wake-up stays
    // signalled, so the test that ran it sees the stop; the next command clears it.
    void Cancel();

private:
    const CWakeup& m_wakeup;
    std::mutex m_mutex;
    std::condition_variable m_ended;
    bool m_bBusy = false;
    bool m_bCancelled = false;
};
