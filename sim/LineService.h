#pragma once

#include <atomic>
#include <chrono>
#include <deque>
#include <vector>

#include "sim/FieldBus.h"
#include "sim/Trace.h"

// Puts a field bus on a real line (a pty master or a tty): hears request bytes as a 1200-baud
// receiver would, answers after a turnaround, and paces what it sends like the line does.
namespace sim {

struct LineTiming {
    bool fast = false;  // send at pty speed instead of one byte per character time
    double byteMs = kByteMs;
    double turnaroundMs = 20.0;
};

class LineService {
public:
    LineService(int fd, FieldBus& bus, const LineTiming& timing, Trace* trace = nullptr);

    // Serves the line until stop turns true; looks at it at least every 50 ms.
    void Run(const std::atomic<bool>& stop);

private:
    using Clock = std::chrono::steady_clock;
    struct Pending {
        double dueMs;
        uint8_t byte;
    };

    double NowMs() const;
    void ReadLine(double now);
    void Schedule(const Transmission& t, double startMs);
    void SendDue(double now);
    void SendUnprompted(double now);
    double NextWakeMs(double now) const;
    double SilenceEndMs() const;
    void WriteBytes(const uint8_t* bytes, size_t count);

    int m_fd;
    FieldBus& m_bus;
    LineTiming m_timing;
    Trace* m_trace;
    Clock::time_point m_start;
    struct Announcement {
        double dueMs;
        const char* what;
        Bytes bytes;
    };
    std::deque<Pending> m_pending;
    std::deque<Announcement> m_announcements;  // traced when their first byte goes out
    double m_heardEndMs = 0;                   // when the last heard byte ends on a 1200-baud line
    double m_lastArrivalMs = 0;                // when the last byte was actually read
    double m_sentEndMs = 0;                    // when the last byte sent ends
    double m_hangupUntilMs = 0;                // the line hung up; look again after this
    size_t m_unpromptedTurn = 0;
};

}  // namespace sim
