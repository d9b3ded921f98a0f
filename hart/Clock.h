#pragma once

#include <cstdint>

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
};

// Monotonic wall clock (std::chrono::steady_clock).
class SteadyClock final : public IClock {
public:
    uint32_t TickCount() override;
    void Sleep(uint32_t ms) override;
    uint32_t MicroCount() override;
    void SleepMicros(uint32_t us) override;
};

IClock& SystemClock();
