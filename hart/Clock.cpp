#include "hart/Clock.h"

#include <chrono>
#include <thread>

namespace {

template <typename Unit>
uint32_t SteadyCount() {
    using namespace std::chrono;
    return static_cast<uint32_t>(
        duration_cast<Unit>(steady_clock::now().time_since_epoch()).count());
}

}  // namespace

uint32_t SteadyClock::TickCount() { return SteadyCount<std::chrono::milliseconds>(); }

void SteadyClock::Sleep(uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

uint32_t SteadyClock::MicroCount() { return SteadyCount<std::chrono::microseconds>(); }

void SteadyClock::SleepMicros(uint32_t us) {
    std::this_thread::sleep_for(std::chrono::microseconds(us));
}

bool SteadyClock::SleepUnlessWoken(uint32_t ms, const CWakeup& wakeup) {
    return wakeup.SleepMicros(uint64_t{ms} * 1000u);
}

bool SteadyClock::SleepMicrosUnlessWoken(uint32_t us, const CWakeup& wakeup) {
    return wakeup.SleepMicros(us);
}

IClock& SystemClock() {
    static SteadyClock clock;
    return clock;
}
