#pragma once

#include <chrono>
#include <vector>

#include "serial/Serial.h"

// A real serial port that notes when the link starts a write, waits for the transmitter to
// drain and drops RTS, on the steady clock.
class TimingSerial : public CSerial {
public:
    using TimePoint = std::chrono::steady_clock::time_point;
    struct Transmission {
        TimePoint writeStart;
        TimePoint drainCalled;
        TimePoint drainReturned;
        TimePoint rtsDrop;
        size_t length = 0;
        bool drainedNoted = false;
        bool dropped = false;
    };

    SerialStatus Write(const void* data, size_t count, size_t* sent, uint32_t timeoutMs) override {
        Transmission send;
        send.writeStart = std::chrono::steady_clock::now();
        send.length = count;
        m_sends.push_back(send);
        return CSerial::Write(data, count, sent, timeoutMs);
    }
    SerialStatus DrainOutput(uint32_t timeoutMs) override {
        const TimePoint called = std::chrono::steady_clock::now();
        const SerialStatus status = CSerial::DrainOutput(timeoutMs);
        const TimePoint returned = std::chrono::steady_clock::now();
        if (!m_sends.empty() && !m_sends.back().drainedNoted) {
            m_sends.back().drainCalled = called;
            m_sends.back().drainReturned = returned;
            m_sends.back().drainedNoted = status == kSerialSuccess;
        }
        return status;
    }
    SerialStatus SetRts(bool raised) override {
        const TimePoint now = std::chrono::steady_clock::now();
        if (!raised && !m_sends.empty() && !m_sends.back().dropped) {
            m_sends.back().rtsDrop = now;
            m_sends.back().dropped = true;
        }
        return CSerial::SetRts(raised);
    }

    const std::vector<Transmission>& Sends() const { return m_sends; }
    void Clear() { m_sends.clear(); }

private:
    std::vector<Transmission> m_sends;
};
