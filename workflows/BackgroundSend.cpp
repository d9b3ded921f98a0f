#include "workflows/BackgroundSend.h"

#include "workflows/ContinuousSend.h"

void CBackgroundSend::Start(CHartLink& link, std::function<void()> portStopped) {
    if (IsRunning()) return;
    m_pLink = &link;
    m_stop = false;
    m_polls = 0;
    m_thread = std::thread([this, &link, portStopped = std::move(portStopped)] {
        const ContinuousEnd end = RunContinuousPolls(
            link, [this] { return m_stop.load(); },
            [this](uint64_t poll, bool) { m_polls = poll; });
        if (end == ContinuousEnd::PortStopped && portStopped) portStopped();
    });
}

void CBackgroundSend::Stop() {
    if (!IsRunning()) return;
    m_stop = true;
    m_pLink->Port().Wakeup().Signal();
    m_thread.join();
}
