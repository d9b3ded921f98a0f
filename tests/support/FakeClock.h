#pragma once

#include <cstdint>

#include "hart/Clock.h"

// Virtual time: nothing waits, Sleep only moves the clock on.
class FakeClock final : public IClock {
public:
    uint32_t TickCount() override { return static_cast<uint32_t>(m_nowMs); }
    void Sleep(uint32_t ms) override {
        m_nowMs += ms;
        ++m_sleepCalls;
    }

    void Advance(uint64_t ms) { m_nowMs += ms; }
    void AdvanceTo(uint64_t ms) {
        if (ms > m_nowMs) m_nowMs = ms;
    }
    uint64_t NowMs() const { return m_nowMs; }
    int SleepCalls() const { return m_sleepCalls; }

private:
    uint64_t m_nowMs = 1000;  // not 0, so that "time 0" never passes for a real reading
    int m_sleepCalls = 0;
};
