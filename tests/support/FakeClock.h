#pragma once

#include <cstdint>
#include <functional>
#include <utility>

#include "hart/Clock.h"

// Virtual time: nothing waits, Sleep only moves the clock on. An alarm runs once when time
// reaches it (a stop request at a given moment, say).
class FakeClock final : public IClock {
public:
    uint32_t TickCount() override { return static_cast<uint32_t>(m_nowMs); }
    void Sleep(uint32_t ms) override {
        Advance(ms);
        ++m_sleepCalls;
    }

    void Advance(uint64_t ms) { AdvanceTo(m_nowMs + ms); }
    void AdvanceTo(uint64_t ms) {
        if (ms > m_nowMs) m_nowMs = ms;
        if (m_alarm && m_nowMs >= m_alarmMs) std::exchange(m_alarm, {})();
    }
    void SetAlarm(uint64_t atMs, std::function<void()> alarm) {
        m_alarmMs = atMs;
        m_alarm = std::move(alarm);
    }
    uint64_t NowMs() const { return m_nowMs; }
    int SleepCalls() const { return m_sleepCalls; }

private:
    uint64_t m_nowMs = 1000;  // not 0, so that "time 0" never passes for a real reading
    int m_sleepCalls = 0;
    uint64_t m_alarmMs = 0;
    std::function<void()> m_alarm;
};
