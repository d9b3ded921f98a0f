#pragma once

#include <QPointer>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

#include "serial/Wakeup.h"

class QObject;

// How a Run ended.
enum class LineRun {
    RanToEnd,
    Cancelled,  // Cancel, a closing window or an event loop that ended cut the work short
    Busy,       // refused: other work was in progress, nothing was run
};

// The one way a front end runs a test's line work (a poll test's exchanges, the multi-drop
// scan, a PV tick, continuous send) off its user-interface thread, so that the window goes on
// painting, answering the window system and taking a Cancel. One piece of work at a time; a
// Cancel, or a window that closes, cuts it short through the port's wake-up.
class CLineWorker {
public:
    // wakeup: the port's, which ends the work's waits. context: the object on whose thread
    // the `finished` callbacks of Start run (none: they run on the worker's thread).
    explicit CLineWorker(const CWakeup& wakeup, QObject* context = nullptr)
        : m_wakeup(wakeup), m_context(context) {}
    ~CLineWorker();
    CLineWorker(const CLineWorker&) = delete;
    CLineWorker& operator=(const CLineWorker&) = delete;

    // Starts work and returns at once; `finished`, if given, is called once the work has
    // ended, with whether it ran to its end (false: cancelled). Refuses (false, nothing
    // started) while work is in progress.
    bool Start(std::function<void()> work, std::function<void(bool ranToEnd)> finished = {});
    // Runs work and returns once it has ended, the calling (user-interface) thread serving
    // events meanwhile. The work has always ended when Run returns, so it may use the
    // caller's locals: should the event loop end early (the application quits), the work is
    // cancelled and waited for.
    LineRun Run(const std::function<void()>& work);
    bool Busy();
    // Ends the work in progress early and waits until it has ended. The wake-up stays
    // signalled, so the test that ran it sees the stop; the next test clears it.
    void Cancel();

private:
    void Finish(const std::function<void(bool)>& finished);

    const CWakeup& m_wakeup;
    QPointer<QObject> m_context;
    std::mutex m_mutex;
    std::condition_variable m_ended;
    std::thread m_thread;
    bool m_bBusy = false;
    bool m_bCancelled = false;
};
