#pragma once

#include <cstdint>
#include <cstring>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "FakeClock.h"
#include "serial/Serial.h"

// A serial port on virtual time. What the program writes is recorded; what it reads
// comes from bytes scheduled to arrive at given virtual times, typically produced by a
// responder that plays the field device. Reads and writes honour the read mode and the
// time-outs the way the real class does, and move the fake clock on as they wait.
class FakeSerial : public CSerial {
public:
    using Bytes = std::vector<uint8_t>;

    enum class Kind { Open, Close, SetHartLine, RtsOn, RtsOff, Write, Purge, AbortAndFlush, Drain };
    struct Event {
        Kind kind;
        uint64_t atMs;
        Bytes data;          // Write: the bytes; Open: the path
        uint32_t value = 0;  // SetHartLine: baud
    };

    // Called for every complete write; returns the bytes the line carries back.
    using Responder = std::function<Bytes(const Bytes& request)>;

    explicit FakeSerial(FakeClock& clock) : m_clock(clock) {}
    ~FakeSerial() override { m_port = -1; }  // never let the base class close a real fd

    // --- the device side -------------------------------------------------------
    // Bytes that arrive on the line at virtual time atMs (default: now).
    void Arrive(const Bytes& bytes, uint64_t atMs) {
        for (uint8_t b : bytes) m_incoming.push_back({atMs, b});
    }
    void Arrive(const Bytes& bytes) { Arrive(bytes, m_clock.NowMs()); }

    void SetResponder(Responder responder) { m_responder = std::move(responder); }
    // How long after the request's last byte left the wire a responder's reply arrives.
    void SetTurnaroundMs(uint64_t ms) { m_turnaroundMs = ms; }
    // The request is echoed back while it is on the air (as some modems do).
    void SetEcho(bool echo) { m_echo = echo; }

    // --- failures to inject ----------------------------------------------------
    SerialStatus openStatus = kSerialSuccess;
    SerialStatus hartLineStatus = kSerialSuccess;
    SerialStatus writeStatus = kSerialSuccess;     // returned by every Write while set
    size_t writeShortBy = 0;                       // Write reports this many bytes fewer
    SerialStatus readStatus = kSerialSuccess;      // returned by every Read while set
    SerialStatus rtsRaiseStatus = kSerialSuccess;  // returned by SetRts(true) while set
    SerialStatus rtsDropStatus = kSerialSuccess;   // returned by SetRts(false) while set
    SerialStatus closeStatus = kSerialSuccess;     // returned by Close (which still closes)
    // The adapter starts sending this late, so the frame's last byte leaves this much after
    // its on-air time from the write (DrainOutput waits for it).
    uint64_t lateTransmitterMs = 0;
    // From then on (virtual time) every transfer fails with EIO, as a line that hung up.
    void HangUpAt(uint64_t atMs) { m_hangUpAtMs = atMs; }

    // --- what happened ---------------------------------------------------------
    const std::vector<Event>& Events() const { return m_events; }
    std::vector<Bytes> Writes() const {
        std::vector<Bytes> out;
        for (const Event& e : m_events)
            if (e.kind == Kind::Write) out.push_back(e.data);
        return out;
    }
    int Count(Kind kind) const {
        int n = 0;
        for (const Event& e : m_events) n += e.kind == kind ? 1 : 0;
        return n;
    }
    std::string OpenedPath() const { return m_openedPath; }
    bool RtsRaised() const { return m_rts; }
    int ReadMode() const { return m_readMode; }
    size_t PendingBytes() const { return m_incoming.size(); }
    void ClearEvents() { m_events.clear(); }

    // --- CSerial -----------------------------------------------------------------
    SerialStatus Open(const char* path, uint32_t, uint32_t) override {
        m_lastError = kSerialSuccess;
        if (IsOpen()) return m_lastError = kSerialAlreadyOpen;
        m_openedPath = path ? path : "";
        Record(Kind::Open, Bytes(m_openedPath.begin(), m_openedPath.end()));
        if (openStatus != kSerialSuccess) return m_lastError = openStatus;
        m_port = kFakeFd;
        m_readMode = ReturnAtOnce;
        return kSerialSuccess;
    }
    SerialStatus Close() override {
        m_lastError = kSerialSuccess;
        if (!IsOpen()) return kSerialSuccess;
        m_port = -1;
        Record(Kind::Close);
        return m_lastError = closeStatus;
    }
    SerialStatus SetHartLine(uint32_t baud) override {
        m_lastError = kSerialSuccess;
        if (!IsOpen()) return m_lastError = kSerialInvalidHandle;
        Event e{Kind::SetHartLine, m_clock.NowMs(), {}, baud};
        m_events.push_back(e);
        if (hartLineStatus != kSerialSuccess) {
            m_port = -1;
            return m_lastError = hartLineStatus;
        }
        m_readMode = WaitForCount;
        m_rts = true;
        return kSerialSuccess;
    }
    SerialStatus SetReadMode(int mode) override {
        m_lastError = kSerialSuccess;
        if (!IsOpen()) return m_lastError = kSerialInvalidHandle;
        if (mode != ReturnAtOnce && mode != WaitForCount) return m_lastError = kSerialInvalidArg;
        m_readMode = mode;
        return kSerialSuccess;
    }
    SerialStatus SetRts(bool raised) override {
        m_lastError = kSerialSuccess;
        if (!IsOpen()) return m_lastError = kSerialInvalidHandle;
        if (const SerialStatus failed = raised ? rtsRaiseStatus : rtsDropStatus) {
            return m_lastError = failed;
        }
        m_rts = raised;
        Record(raised ? Kind::RtsOn : Kind::RtsOff);
        return kSerialSuccess;
    }
    SerialStatus Purge() override { return Discard(Kind::Purge); }
    SerialStatus AbortAndFlush() override { return Discard(Kind::AbortAndFlush); }

    SerialStatus Write(const void* data, size_t count, size_t* sent, uint32_t) override {
        size_t local = 0;
        if (!sent) sent = &local;
        *sent = 0;
        m_lastError = kSerialSuccess;
        if (!IsOpen()) return m_lastError = kSerialInvalidHandle;
        if (const SerialStatus failed = Failure(writeStatus)) return m_lastError = failed;
        const auto* p = static_cast<const uint8_t*>(data);
        Bytes request(p, p + count);
        Record(Kind::Write, request);
        *sent = count >= writeShortBy ? count - writeShortBy : 0;
        const uint64_t start = m_clock.NowMs();
        const uint64_t lastByteOut = start + OnAirMs(count);
        m_transmitterEmptyAtMs = lastByteOut + lateTransmitterMs;
        if (m_echo) Arrive(request, start + 1);
        if (m_responder) {
            Bytes reply = m_responder(request);
            if (!reply.empty()) Arrive(reply, lastByteOut + m_turnaroundMs);
        }
        return kSerialSuccess;
    }

    SerialStatus Read(void* buffer, size_t count, size_t* received, uint32_t timeoutMs) override {
        size_t local = 0;
        if (!received) received = &local;
        *received = 0;
        m_lastReadArrived = 0;
        m_lastError = kSerialSuccess;
        if (!IsOpen()) return m_lastError = kSerialInvalidHandle;
        if (const SerialStatus failed = Failure(readStatus)) return m_lastError = failed;
        auto* out = static_cast<uint8_t*>(buffer);
        if (m_readMode == ReturnAtOnce) {
            while (*received < count && !m_incoming.empty() &&
                   m_incoming.front().atMs <= m_clock.NowMs()) {
                out[(*received)++] = m_incoming.front().byte;
                m_incoming.pop_front();
            }
            return kSerialSuccess;
        }
        uint64_t deadline = m_clock.NowMs() + timeoutMs;
        // A line that hangs up during the wait ends it then.
        const bool hangsUp = m_hangUpAtMs && *m_hangUpAtMs <= deadline;
        if (hangsUp) deadline = *m_hangUpAtMs;
        if (count <= m_incoming.size() && count > 0 && m_incoming[count - 1].atMs <= deadline) {
            m_clock.AdvanceTo(m_incoming[count - 1].atMs);
            for (size_t i = 0; i < count; ++i) {
                out[i] = m_incoming.front().byte;
                m_incoming.pop_front();
            }
            *received = count;
            return kSerialSuccess;
        }
        if (count == 0) return kSerialSuccess;
        // Time-out: what had arrived of the transfer is lost with the input buffer, though
        // the caller gets to see it as the real ports let it.
        m_clock.AdvanceTo(deadline);
        for (size_t i = 0; i < m_incoming.size() && i < count && m_incoming[i].atMs <= deadline;
             ++i)
            out[m_lastReadArrived++] = m_incoming[i].byte;
        DropArrived();
        if (const SerialStatus failed = Failure(kSerialSuccess)) return m_lastError = failed;
        return m_lastError = kSerialTimeout;
    }

    SerialStatus DrainOutput(uint32_t timeoutMs) override {
        m_lastError = kSerialSuccess;
        if (!IsOpen()) return m_lastError = kSerialInvalidHandle;
        Record(Kind::Drain);
        if (const SerialStatus failed = Failure(kSerialSuccess)) return m_lastError = failed;
        const uint64_t limit = m_clock.NowMs() + timeoutMs;
        if (m_transmitterEmptyAtMs > limit) {
            m_clock.AdvanceTo(limit);
            return m_lastError = kSerialTimeout;
        }
        m_clock.AdvanceTo(m_transmitterEmptyAtMs);
        // A stop request during the wait ends it, as it ends the real one.
        return m_lastError = Failure(kSerialSuccess);
    }

    // On-air time of n bytes at 1200 baud, 11 bits each, rounded up.
    static uint64_t OnAirMs(size_t n) { return (n * 11 * 1000 + 1199) / 1200; }

private:
    struct Incoming {
        uint64_t atMs;
        uint8_t byte;
    };
    static constexpr int kFakeFd = 1 << 20;  // no real descriptor has this number

    // The failure a transfer meets now: a wake-up, the line hung up, or the one injected.
    SerialStatus Failure(SerialStatus injected) const {
        if (Wakeup().IsSignalled()) return kSerialInterrupted;
        if (m_hangUpAtMs && *m_hangUpAtMs <= m_clock.NowMs()) return EIO;
        return injected;
    }

    void Record(Kind kind, Bytes data = {}) {
        m_events.push_back(Event{kind, m_clock.NowMs(), std::move(data)});
    }
    void DropArrived() {
        while (!m_incoming.empty() && m_incoming.front().atMs <= m_clock.NowMs())
            m_incoming.pop_front();
    }
    SerialStatus Discard(Kind kind) {
        m_lastError = kSerialSuccess;
        if (!IsOpen()) return m_lastError = kSerialInvalidHandle;
        Record(kind);
        DropArrived();
        return kSerialSuccess;
    }

    FakeClock& m_clock;
    std::deque<Incoming> m_incoming;
    std::vector<Event> m_events;
    Responder m_responder;
    uint64_t m_turnaroundMs = 20;
    bool m_echo = false;
    bool m_rts = false;
    std::string m_openedPath;
    uint64_t m_transmitterEmptyAtMs = 0;
    std::optional<uint64_t> m_hangUpAtMs;
};
