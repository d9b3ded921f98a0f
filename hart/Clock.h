#pragma once

#include <cstdint>

#include "serial/Wakeup.h"

// The one source of time for the link layer and the workflows: a wrapping millisecond
// counter (only differences of two readings mean anything) and a pause. Tests hand in a
// virtual clock so that long waits cost nothing.
class IClock {
public:
    virtual ~IClock() = default;
    virtual uint32_t TickCount() = 0;
    virtual void Sleep(uint32_t ms) = 0;

    // Finer time for keying RTS: a wrapping microsecond counter and a pause in
    // microseconds. A clock without finer time derives both from the millisecond pair.
    virtual uint32_t MicroCount() { return TickCount() * 1000u; }
    virtual void SleepMicros(uint32_t us) { Sleep((us + 999u) / 1000u); }

    // Pauses that a stop request ends early: false when the wake-up is, or becomes,
    // signalled. A virtual clock pauses as it always does and looks at the wake-up before
    // and after.
    virtual bool SleepUnlessWoken(uint32_t ms, const CWakeup& wakeup) {
        if (wakeup.IsSignalled()) return false;
        Sleep(ms);
        return !wakeup.IsSignalled();
    }
    virtual bool SleepMicrosUnlessWoken(uint32_t us, const CWakeup& wakeup) {
        if (wakeup.IsSignalled()) return false;
        SleepMicros(us);
        return !wakeup.IsSignalled();
    }
};

// Monotonic wall clock (std::chrono::steady_clock); its pauses wait on the wake-up itself.
class SteadyClock final : public IClock {
public:
    uint32_t TickCount() override;
    void Sleep(uint32_t ms) override;
    uint32_t MicroCount() override;
    void SleepMicros(uint32_t us) override;
    bool SleepUnlessWoken(uint32_t ms, const CWakeup& wakeup) override;
    bool SleepMicrosUnlessWoken(uint32_t us, const CWakeup& wakeup) override;
};

IClock& SystemClock();

// Milliseconds from now until `endMs` on the clock's wrapping counter; 0 once it has passed.
inline uint32_t MsUntil(IClock& clock, uint32_t endMs) {
    const auto left = static_cast<int32_t>(endMs - clock.TickCount());
    return left > 0 ? static_cast<uint32_t>(left) : 0;
}
