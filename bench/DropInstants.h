#pragma once

#include <cstdio>
#include <vector>

#include "BenchTime.h"
#include "Stats.h"
#include "TimingSerial.h"

// When RTS went down against the two things the link waits for before dropping it: the
// clock deadline (the frame's on-air time and the trailing millisecond from the write's
// start) and the transmitter having drained (DrainOutput returned).
class DropInstants {
public:
    // Instants closer than this are one instant for the modem.
    static constexpr double kCoincideMs = 0.5;

    // deadlineMs: the clock deadline, in ms after the write's start.
    void Note(const TimingSerial::Transmission& send, double deadlineMs) {
        if (!send.dropped || !send.drainedNoted) return;
        const double drop = Ms(send.rtsDrop - send.writeStart);
        const double drainCalled = Ms(send.drainCalled - send.writeStart);
        const double drained = Ms(send.drainReturned - send.writeStart);
        m_afterDeadline.push_back(drop - deadlineMs);
        m_afterDrained.push_back(drop - drained);
        m_drainCalledAfterDeadline.push_back(drainCalled - deadlineMs);
        m_drainWait.push_back(drained - drainCalled);
    }

    void Print() const {
        std::printf(
            "(b) RTS drop instants over %zu frames: after the clock deadline median %.2f ms,"
            " p99 %.2f ms, min %.2f ms; after the transmitter drained median %.3f ms,"
            " p99 %.3f ms, min %.3f ms   (goal 0..3 ms each)\n",
            m_afterDrained.size(), Percentile(m_afterDeadline, 0.5),
            Percentile(m_afterDeadline, 0.99), Percentile(m_afterDeadline, 0.0),
            Percentile(m_afterDrained, 0.5), Percentile(m_afterDrained, 0.99),
            Percentile(m_afterDrained, 0.0));
        // On a pty the queue is empty as soon as written, so DrainOutput returns as soon as
        // it is called; a real UART would keep it waiting past the clock deadline.
        const double longestDrain = Percentile(m_drainWait, 1.0);
        std::printf(
            "    DrainOutput called %.3f ms (median; p99 %.3f) after the clock deadline, waited"
            " %.3f ms (median; max %.3f) for the transmitter: %s\n",
            Percentile(m_drainCalledAfterDeadline, 0.5),
            Percentile(m_drainCalledAfterDeadline, 0.99), Percentile(m_drainWait, 0.5),
            longestDrain,
            longestDrain < kCoincideMs
                ? "the transmitter had drained by the clock deadline, so on this pty the two"
                  " instants coincide and the clock decides the drop"
                : "the transmitter drained after the clock deadline and decided the drop");
    }

private:
    std::vector<double> m_afterDeadline, m_afterDrained;
    std::vector<double> m_drainCalledAfterDeadline, m_drainWait;
};
