#pragma once

#include "sim/Frame.h"

namespace sim {

// The device's usual gap between hearing a request's end and sending its answer.
inline constexpr double kDefaultTurnaroundMs = 20.0;

// A USB adapter's latency timer (or a UART FIFO's time-out) hands on the last bytes of a
// modem's echo this long after the line went quiet. The master drops RTS and purges its
// input 1 to 2 ms after the request's on-air time, so the tail arrives after the purge.
inline constexpr double kLateEchoDelayMs = 16.0;

struct LineTiming {
    bool fast = false;  // send at pty speed instead of one byte per character time
    double byteMs = kByteMs;
    double turnaroundMs = kDefaultTurnaroundMs;
};

}  // namespace sim
