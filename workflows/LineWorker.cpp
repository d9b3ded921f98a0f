#include "workflows/LineWorker.h"

#include <QEventLoop>
#include <QMetaObject>
#include <QObject>

CLineWorker::~CLineWorker() {
    Cancel();
    if (m_thread.joinable()) m_thread.join();
}

bool CLineWorker::Start(std::function<void()> work, std::function<void(bool)> finished) {
    {
        const std::lock_guard lock(m_mutex);
        if (m_bBusy) return false;
        m_bBusy = true;
        m_bCancelled = false;
    }
    // The thread of the work before has ended (it was not busy); reclaim it.
    if (m_thread.joinable()) m_thread.join();
    m_thread = std::thread([this, work = std::move(work), finished = std::move(finished)] {
        work();
        Finish(finished);
    });
    return true;
}

void CLineWorker::Finish(const std::function<void(bool)>& finished) {
    bool ranToEnd = false;
    {
        const std::lock_guard lock(m_mutex);
        ranToEnd = !m_bCancelled;
    }
    // Without a context the callback runs here, before Cancel may return: it is part of the
    // work's end.
    if (finished && !m_context) finished(ranToEnd);
    {
        const std::lock_guard lock(m_mutex);
        m_bBusy = false;
    }
    m_ended.notify_all();
    if (!finished || !m_context) return;
    // Queued, so that it runs on the context's thread once the events before it are served.
    QMetaObject::invokeMethod(
        m_context, [finished, ranToEnd] { finished(ranToEnd); }, Qt::QueuedConnection);
}

LineRun CLineWorker::Run(const std::function<void()>& work) {
    QEventLoop loop;
    // The callback may come after Run has returned (the loop ended early, and the queued
    // call is served later): it holds only a guarded pointer to the loop, never the frame.
    const QPointer<QEventLoop> waiting(&loop);
    const bool withLoop = !m_context.isNull();
    const bool started = Start(work, [waiting, withLoop](bool) {
        if (withLoop && waiting) waiting->quit();
    });
    if (!started) return LineRun::Busy;
    // Without a context there are no events to serve: the work is simply waited for.
    if (withLoop && Busy()) loop.exec();
    // The loop may also end because something quit every loop of this thread.
    Cancel();
    if (m_thread.joinable()) m_thread.join();
    const std::lock_guard lock(m_mutex);
    return m_bCancelled ? LineRun::Cancelled : LineRun::RanToEnd;
}

bool CLineWorker::Busy() {
    const std::lock_guard lock(m_mutex);
    return m_bBusy;
}

void CLineWorker::Cancel() {
    std::unique_lock lock(m_mutex);
    // Work that has ended is not cut short: its outcome stays as it was.
    if (!m_bBusy) return;
    m_bCancelled = true;
    m_wakeup.Signal();
    m_ended.wait(lock, [this] { return !m_bBusy; });
}
