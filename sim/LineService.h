#pragma once

#include <atomic>
#include <chrono>
#include <functional>

#include "sim/FieldBus.h"
#include "sim/LineTiming.h"
#include "sim/PacedLine.h"
#include "sim/Trace.h"

// Puts a field bus on a real line (a pty master or a tty): reads what the master sends, hands
// it to the paced line with the time it came, and writes what the line carries back when it
// falls due.
namespace sim {

class LineService {
public:
    enum class End { Stopped, Vanished };

    LineService(int fd, FieldBus& bus, const LineTiming& timing, Trace* trace = nullptr);

    // Tells whether the master has read everything sent to it, so that a vanishing line goes
    // as soon as its last answer is taken. Without it the line waits kVanishWaitMs.
    void WatchDrain(std::function<bool()> drained) { m_drained = std::move(drained); }

    // Serves the line until stop turns true (Stopped), or until the device end has sent its
    // last answer and the master has taken it (Vanished; the caller then closes the line).
    // Looks at stop at least every 50 ms.
    End Run(const std::atomic<bool>& stop);

private:
    using Clock = std::chrono::steady_clock;

    double NowMs() const;
    void ReadLine(double now);
    bool ReadyToVanish(double now) const;
    double NextWakeMs(double now) const;
    void WriteBytes(const Bytes& bytes);

    int m_fd;
    PacedLine m_line;
    std::function<bool()> m_drained;
    Clock::time_point m_start;
    double m_hangupUntilMs = 0;  // the line hung up; look again after this
};

}  // namespace sim
