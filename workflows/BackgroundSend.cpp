#include "workflows/BackgroundSend.h"

#include "workflows/ContinuousSend.h"

void CBackgroundSend::Start(CHartLink& link) {
    if (IsRunning()) return;
    m_stop = false;
    m_polls = 0;
    m_thread = std::thread([this, &link] {
        RunContinuousPolls(
            link, [this] { return m_stop.load(); },
            [this](uint64_t poll, bool) { m_polls = poll; });
    });
}

void CBackgroundSend::Stop() {
    if (!IsRunning()) return;
    m_stop = true;
    m_thread.join();
}
