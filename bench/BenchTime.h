#pragma once

#include <pthread.h>
#include <time.h>

#include <chrono>

// Wall and CPU time as the bench reports them, in milliseconds.
using BenchClock = std::chrono::steady_clock;

inline double Ms(BenchClock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

inline double CpuClockMs(clockid_t clock) {
    timespec t{};
    clock_gettime(clock, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

// CPU time of the calling thread.
inline double ThreadCpuMs() { return CpuClockMs(CLOCK_THREAD_CPUTIME_ID); }
