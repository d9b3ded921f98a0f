#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <thread>

#include "hart/HartLink.h"

// Continuous send's polls on a thread of their own, so that the window stays responsive.
// The thread owns the link from Start until Stop returns; nothing else may use the link
// (or its port) in between.
class CBackgroundSend {
public:
    CBackgroundSend() = default;
    ~CBackgroundSend() { Stop(); }
    CBackgroundSend(const CBackgroundSend&) = delete;
    CBackgroundSend& operator=(const CBackgroundSend&) = delete;

    // link: its port already open (BeginContinuousSend). Does nothing while running.
    // portStopped, if given, is called on the send's thread when the port stopped working
    // and the send has ended (the port closed).
    void Start(CHartLink& link, std::function<void()> portStopped = {});
    // Cuts the poll in progress short (the port's wake-up, left signalled), ends the thread
    // and leaves the port closed. Harmless when nothing runs.
    void Stop();
    bool IsRunning() const { return m_thread.joinable(); }
    // Polls made so far by the current or last run.
    uint64_t Polls() const { return m_polls.load(); }

private:
    std::thread m_thread;
    CHartLink* m_pLink = nullptr;
    std::atomic<bool> m_stop{false};
    std::atomic<uint64_t> m_polls{0};
};
