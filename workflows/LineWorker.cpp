#include "workflows/LineWorker.h"

#include <QEventLoop>
#include <QMetaObject>
#include <thread>

bool CLineWorker::Run(const std::function<void()>& work) {
    {
        const std::lock_guard lock(m_mutex);
        if (m_bBusy) return false;
        m_bBusy = true;
        m_bCancelled = false;
    }
    QEventLoop loop;
    std::thread worker([&] {
        work();
        {
            const std::lock_guard lock(m_mutex);
            m_bBusy = false;
        }
        m_ended.notify_all();
        // Queued, so that it reaches the loop even if the work ended before exec began.
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
    worker.join();
    const std::lock_guard lock(m_mutex);
    return !m_bCancelled;
}

bool CLineWorker::Busy() {
    const std::lock_guard lock(m_mutex);
    return m_bBusy;
}

void CLineWorker::Cancel() {
    std::unique_lock lock(m_mutex);
    if (!m_bBusy) return;
    m_bCancelled = true;
    m_wakeup.Signal();
    m_ended.wait(lock, [this] { return !m_bBusy; });
}
