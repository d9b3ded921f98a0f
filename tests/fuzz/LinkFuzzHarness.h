#pragma once

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <vector>

#include "FakeClock.h"
#include "FakeSerial.h"
#include "FuzzSupport.h"
#include "hart/Encoding.h"
#include "hart/HartFrame.h"
#include "hart/HartLink.h"
#include "hart/LinkBounds.h"

// Plays one arbitrary byte stream as the line behind the link. The first bytes choose the
// operation, its arguments and the port's failures; the rest is the line: either bytes
// arriving on their own, or the replies it carries back, one per request, each led by a byte
// that gives its length and, in its top bits, how late it comes. Everything runs on virtual
// time, so no input can make the link wait for real, and every operation is held to the time
// it may take whatever the line does.
namespace linkfuzz {

using fuzzsupport::Require;

class Input {
public:
    Input(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}
    bool Empty() const { return m_pos >= m_size; }
    uint8_t Byte() { return Empty() ? 0 : m_data[m_pos++]; }
    uint16_t Word() {
        const uint8_t high = Byte();
        return static_cast<uint16_t>(high << 8 | Byte());
    }
    std::vector<uint8_t> Take(size_t n) {
        const size_t count = n < m_size - m_pos ? n : m_size - m_pos;
        std::vector<uint8_t> out(m_data + m_pos, m_data + m_pos + count);
        m_pos += count;
        return out;
    }
    std::vector<uint8_t> Rest() { return Take(m_size - m_pos); }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_pos = 0;
};

// --- How long each operation may take ----------------------------------------------------

// The commands' timing as the link sets it, repeated here because the link keeps it to
// itself: every transfer waits 500 ms; the long-address command makes 4 attempts, 18 once
// another station is heard, the short one 3 and 13; each call also gets 10 repetitions that
// use no attempt (busy answers, stray frames).
inline constexpr uint32_t kTransferWaitMs = 500;
inline constexpr unsigned kLongCommandAttempts = 18;
inline constexpr unsigned kShortCommandAttempts = 13;
inline constexpr unsigned kFreeRepetitions = 10;
inline constexpr uint32_t kPauseAfterFailedSendMs = 1000;
inline constexpr uint32_t kPauseBeforeFourthAttemptMs = 1000;
inline constexpr uint32_t kPauseAfterBusyMs = 500;
inline constexpr uint32_t kPauseAfterForeignFrameMs = 1000;

inline constexpr size_t kIdentityPollBytes = hart::kIdentityPollPreambles + 4 + 1;
inline constexpr size_t kLongRequestBytes = hart::kRequestPreambles + 8 + 1;
inline constexpr size_t kShortRequestBytes = hart::kRequestPreambles + 5 + 1;

// An identity poll stops starting attempts once its budget is spent; the attempt begun just
// before that still sends and listens.
constexpr uint64_t PollIdentityBoundMs(uint8_t maxAttempts) {
    if (maxAttempts == 0) return 0;
    return uint64_t{maxAttempts} * hart::kIdentityPollMsPerAttempt +
           hart::TransmissionBoundMs(kIdentityPollBytes, kTransferWaitMs) +
           hart::ReceptionBoundMs(kTransferWaitMs);
}

// A command makes at most its attempt limit of passes that use an attempt and
// kFreeRepetitions that do not (one more repetition uses an attempt). Each pass sends,
// listens, and at worst takes every pause it may take.
constexpr uint64_t CommandBoundMs(unsigned attemptLimit, size_t requestBytes, uint32_t pausesMs) {
    const uint64_t pass = hart::TransmissionBoundMs(requestBytes, kTransferWaitMs) + pausesMs +
                          hart::ReceptionBoundMs(kTransferWaitMs);
    return (attemptLimit + kFreeRepetitions) * pass;
}
// A pass of SendCommand may pause after a failed send, before the fourth attempt (every pass
// made while three attempts are used, repetitions too) and after a busy answer.
inline constexpr uint64_t kSendCommandBoundMs =
    CommandBoundMs(kLongCommandAttempts, kLongRequestBytes,
                   kPauseAfterFailedSendMs + kPauseBeforeFourthAttemptMs + kPauseAfterBusyMs);
// A pass of SendShortCommand pauses only after a foreign frame.
inline constexpr uint64_t kSendShortCommandBoundMs =
    CommandBoundMs(kShortCommandAttempts, kShortRequestBytes, kPauseAfterForeignFrameMs);

// After a stop request an operation may finish what it was doing, no more than one
// transmission's worth.
inline constexpr uint64_t kStopGraceMs =
    hart::TransmissionBoundMs(kIdentityPollBytes, kTransferWaitMs);

// --- The port's failures ----------------------------------------------------------------

// What the input asks the port to do wrong. The flag byte's bits; a parameter each of the
// upper bits needs follows it, in bit order.
struct Faults {
    static constexpr uint8_t kWriteTimesOut = 0x01;
    static constexpr uint8_t kWriteShort = 0x02;
    static constexpr uint8_t kEcho = 0x04;
    static constexpr uint8_t kWriteErrorAfter = 0x08;  // request count
    static constexpr uint8_t kReadErrorAfter = 0x10;   // request count
    static constexpr uint8_t kHangUpAfter = 0x20;      // milliseconds, 16 bits
    static constexpr uint8_t kStopAfter = 0x40;        // milliseconds, 16 bits
    static constexpr uint8_t kMore = 0x80;             // two bytes, see Read

    uint8_t flags = 0;
    std::optional<unsigned> writeErrorAfterRequests;
    std::optional<unsigned> readErrorAfterRequests;
    std::optional<uint64_t> hangUpAfterMs;
    std::optional<uint64_t> stopAfterMs;
    uint64_t lateTransmitterMs = 0;
    SerialStatus portError = EIO;
    // Once the input is spent the line goes on as it last went: the last reply answers every
    // request, the last piece of line bytes recurs. A stuck device costs no input, so an
    // operation that would go on for ever on it is found.
    bool lineRepeats = false;
    uint64_t clockStartMs = 1000;

    static Faults Read(uint8_t flags, Input& in) {
        Faults faults;
        faults.flags = flags;
        if (flags & kWriteErrorAfter) faults.writeErrorAfterRequests = in.Byte();
        if (flags & kReadErrorAfter) faults.readErrorAfterRequests = in.Byte();
        if (flags & kHangUpAfter) faults.hangUpAfterMs = in.Word();
        if (flags & kStopAfter) faults.stopAfterMs = in.Word();
        if (flags & kMore) {
            // Low 5 bits: the transmitter's lateness in 32 ms steps; bit 5: the line repeats
            // itself; top bit: the port fails as an unplugged device rather than with an I/O
            // error.
            const uint8_t port = in.Byte();
            faults.lateTransmitterMs = (port & 0x1F) * 32u;
            faults.lineRepeats = port & 0x20;
            if (port & 0x80) faults.portError = ENODEV;
            // The clock starts up to 8 s before one of its counters wraps: bit 0 picks the
            // millisecond count or the microsecond count derived from it.
            if (const uint8_t clock = in.Byte()) {
                constexpr uint64_t kTickWrapMs = uint64_t{1} << 32;
                constexpr uint64_t kMicroWrapMs = ((uint64_t{1} << 32) + 999) / 1000;
                const uint64_t wrapMs = clock & 1 ? kTickWrapMs : kMicroWrapMs;
                faults.clockStartMs = wrapMs - (clock >> 1) * 64u;
            }
        }
        return faults;
    }
};

// The fake port, watching what the link is told: the first failure other than a time-out or
// a stop (from then on the link must take the port for failed), when it came and how many
// requests had been written by then; and when a stop was requested.
class WatchedPort final : public FakeSerial {
public:
    explicit WatchedPort(FakeClock& clock) : FakeSerial(clock), m_clock(clock) {}

    SerialStatus Write(const void* data, size_t count, size_t* sent, uint32_t waitMs) override {
        return Watch(FakeSerial::Write(data, count, sent, waitMs));
    }
    SerialStatus Read(void* buffer, size_t count, size_t* received, uint32_t waitMs) override {
        return Watch(FakeSerial::Read(buffer, count, received, waitMs));
    }
    SerialStatus DrainOutput(uint32_t waitMs) override {
        return Watch(FakeSerial::DrainOutput(waitMs));
    }

    void RequestStop() {
        m_stoppedAtMs = m_clock.NowMs();
        m_requestsAtStop = Requests();
        Wakeup().Signal();
    }

    // The time the operation in progress must have ended by: checked at every transfer, so
    // that an operation that would never end is caught while it runs.
    void SetDeadline(uint64_t atMs) { m_deadlineMs = atMs; }

    int Requests() const { return Count(Kind::Write); }
    bool Failed() const { return m_failure != kSerialSuccess; }
    SerialStatus Failure() const { return m_failure; }
    uint64_t FailedAtMs() const { return m_failedAtMs; }
    int RequestsAtFailure() const { return m_requestsAtFailure; }
    bool Stopped() const { return m_stoppedAtMs.has_value(); }
    uint64_t StoppedAtMs() const { return *m_stoppedAtMs; }
    int RequestsAtStop() const { return m_requestsAtStop; }

private:
    SerialStatus Watch(SerialStatus status) {
        Require(m_clock.NowMs() <= m_deadlineMs);
        const bool portFailure =
            status != kSerialSuccess && status != kSerialTimeout && status != kSerialInterrupted;
        if (portFailure && !Failed()) {
            m_failure = status;
            m_failedAtMs = m_clock.NowMs();
            m_requestsAtFailure = Requests();
        }
        return status;
    }

    FakeClock& m_clock;
    SerialStatus m_failure = kSerialSuccess;
    uint64_t m_failedAtMs = 0;
    int m_requestsAtFailure = 0;
    std::optional<uint64_t> m_stoppedAtMs;
    int m_requestsAtStop = 0;
    uint64_t m_deadlineMs = UINT64_MAX;
};

// The replies the line carries back, one per request: each a length byte (low 6 bits x 4
// bytes, up to 252), lateness in its top 2 bits, then the bytes.
class Replies {
public:
    Replies(Input& in, bool repeatLast) : m_in(in), m_repeatLast(repeatLast) {}

    std::vector<uint8_t> Next(FakeSerial& port) {
        if (m_in.Empty() && m_repeatLast) {
            port.SetTurnaroundMs(m_lastTurnaroundMs);
            return m_last;
        }
        const uint8_t lead = m_in.Byte();
        static constexpr uint64_t kTurnarounds[] = {20, 0, 480, 1600};
        m_lastTurnaroundMs = kTurnarounds[lead >> 6];
        port.SetTurnaroundMs(m_lastTurnaroundMs);
        m_last = m_in.Take(static_cast<size_t>(lead & 0x3F) * 4);
        return m_last;
    }

private:
    Input& m_in;
    bool m_repeatLast;
    std::vector<uint8_t> m_last;
    uint64_t m_lastTurnaroundMs = 20;
};

// The rest of the input as bytes that arrive on their own, in pieces: each led by a byte
// whose low 5 bits give its length and whose top 3 bits the gap before it. A piece's bytes
// follow one another at line pace, so that trickles, babble and late frames can all be
// played. A line that repeats itself plays its last piece again until untilMs.
inline void ArriveInPieces(Input& in, FakeSerial& port, uint64_t fromMs, bool repeatLast,
                           uint64_t untilMs) {
    static constexpr uint64_t kGapsMs[] = {0, 9, 100, 400, 499, 500, 1000, 1600};
    constexpr uint64_t kBytePaceMs = 9;
    uint64_t atMs = fromMs;
    uint64_t gapMs = 0;
    std::vector<uint8_t> piece;
    const auto play = [&] {
        atMs += gapMs;
        for (uint8_t byte : piece) {
            port.Arrive({byte}, atMs);
            atMs += kBytePaceMs;
        }
    };
    while (!in.Empty()) {
        const uint8_t lead = in.Byte();
        gapMs = kGapsMs[lead >> 5];
        piece = in.Take(lead & 0x1F);
        play();
    }
    // Only a piece with bytes moves time on, so only such a piece can recur.
    if (repeatLast && !piece.empty())
        while (atMs < untilMs) play();
}

inline void RunDecoders(Input& in) {
    std::vector<uint8_t> packed = in.Take(255);
    char text[22];
    std::memset(text, 0x7F, sizeof text);
    UnpackAscii(packed.data(), text, static_cast<uint8_t>(packed.size()));
    Require(std::memchr(text, 0, sizeof text) != nullptr);  // the text must stay terminated
    if (packed.size() >= 4) {
        float value;
        DecodeFloat(&value, packed.data());
    }
}

// --- One run ------------------------------------------------------------------------------

// A caller's buffer of exactly the size the operation asks for, so that a write past it is a
// finding, filled with a pattern so that a write into it can be seen.
class CallerBuffer {
public:
    explicit CallerBuffer(size_t size) : m_bytes(size, kPattern) {}
    uint8_t* Data() { return m_bytes.data(); }
    bool Untouched() const {
        for (uint8_t byte : m_bytes)
            if (byte != kPattern) return false;
        return true;
    }

private:
    static constexpr uint8_t kPattern = 0xA5;
    std::vector<uint8_t> m_bytes;
};

class Run {
public:
    Run(const Faults& faults, Input& in) : m_faults(faults), m_replies(in, faults.lineRepeats) {
        m_clock.AdvanceTo(faults.clockStartMs);
    }

    CHartLink& Link() { return m_link; }
    WatchedPort& Port() { return m_port; }
    uint64_t NowMs() const { return m_clock.NowMs(); }

    // Sets the port's failures going, and the line's replies.
    void Arm() {
        if (m_faults.flags & Faults::kWriteTimesOut) m_port.writeStatus = kSerialTimeout;
        if (m_faults.flags & Faults::kWriteShort) m_port.writeShortBy = 1;
        m_port.SetEcho(m_faults.flags & Faults::kEcho);
        m_port.lateTransmitterMs = m_faults.lateTransmitterMs;
        const uint64_t nowMs = m_clock.NowMs();
        if (m_faults.hangUpAfterMs) m_port.HangUpAt(nowMs + *m_faults.hangUpAfterMs);
        if (m_faults.stopAfterMs)
            m_clock.SetAlarm(nowMs + *m_faults.stopAfterMs, [this] { m_port.RequestStop(); });
        FailAfterRequests(0);
        m_port.SetResponder([this](const FakeSerial::Bytes&) {
            FailAfterRequests(static_cast<unsigned>(m_port.Requests()));
            return m_replies.Next(m_port);
        });
    }

    // Whether an operation must also stop for a port that failed before it began: the
    // commands must, a single transfer does what it is asked.
    enum class EarlierFailure { Halts, IsIgnored };

    // Runs one operation and holds it to what the link promises: it ends within its bound on
    // any line; once the port has failed it writes nothing more and returns at once, with the
    // link reporting the failure (and no failure reported without one); after a stop request
    // it writes nothing more and returns in a moment; the modem is never left keyed.
    template <typename Operation>
    void Check(uint64_t boundMs, EarlierFailure earlier, Operation operation) {
        const bool failedBefore = m_port.Failed();
        const uint64_t startMs = m_clock.NowMs();
        m_port.SetDeadline(startMs + boundMs);
        operation();
        m_port.SetDeadline(UINT64_MAX);
        const uint64_t endMs = m_clock.NowMs();
        Require(endMs - startMs <= boundMs);

        Require(m_link.PortFailed() == m_port.Failed());
        if (m_port.Failed()) Require(m_link.PortFailure() == m_port.Failure());
        if (m_port.Failed() && (earlier == EarlierFailure::Halts || !failedBefore)) {
            Require(m_port.Requests() == m_port.RequestsAtFailure());
            Require(endMs <= std::max(startMs, m_port.FailedAtMs()));
        }
        if (m_port.Stopped()) {
            Require(m_link.StopRequested());
            Require(m_port.Requests() == m_port.RequestsAtStop());
            Require(endMs <= std::max(startMs, m_port.StoppedAtMs()) + kStopGraceMs);
        }
        if (m_port.Count(FakeSerial::Kind::RtsOn) > 0) Require(!m_port.RtsRaised());
    }

    void Receive(bool longHeader, uint32_t waitMs) {
        CallerBuffer reply(hart::kReplyBufferSize);
        const bool failedBefore = m_port.Failed();
        unsigned result = kLinkOk;
        Check(hart::ReceptionBoundMs(waitMs), EarlierFailure::IsIgnored,
              [&] { result = m_link.ReceiveFrame(longHeader, reply.Data(), waitMs); });
        if (result != kLinkOk) Require(reply.Untouched());
        if (m_port.Failed() && !failedBefore) Require(result == kLinkPortError);
    }

    void Send(const std::vector<uint8_t>& frame, uint32_t waitMs) {
        const bool failedBefore = m_port.Failed();
        unsigned result = kLinkOk;
        Check(hart::TransmissionBoundMs(frame.size(), waitMs), EarlierFailure::IsIgnored,
              [&] { result = m_link.SendFrame(frame.data(), frame.size(), waitMs); });
        if (m_port.Failed() && !failedBefore) Require(result == kLinkPortError);
    }

    void PollIdentity(uint8_t address, uint8_t maxAttempts) {
        const int requestsBefore = m_port.Requests();
        Check(PollIdentityBoundMs(maxAttempts), EarlierFailure::Halts,
              [&] { m_link.PollIdentity(address, maxAttempts); });
        Require(m_link.m_nPollAddress == address);
        if (maxAttempts == 0) Require(m_port.Requests() == requestsBefore);
    }

    void SendCommand(uint8_t command) {
        CallerBuffer reply(90);
        bool answered = false;
        Check(kSendCommandBoundMs, EarlierFailure::Halts,
              [&] { answered = m_link.SendCommand(command, reply.Data()); });
        if (!answered) Require(reply.Untouched());
    }

    void SendShortCommand(uint8_t command, uint8_t dataByte) {
        CallerBuffer reply(40);
        bool answered = false;
        Check(kSendShortCommandBoundMs, EarlierFailure::Halts,
              [&] { answered = m_link.SendShortCommand(command, reply.Data(), dataByte); });
        if (!answered) Require(reply.Untouched());
    }

private:
    // Read and write errors the input placed after a number of requests start now.
    void FailAfterRequests(unsigned requests) {
        if (m_faults.writeErrorAfterRequests == requests) m_port.writeStatus = m_faults.portError;
        if (m_faults.readErrorAfterRequests == requests) m_port.readStatus = m_faults.portError;
    }

    Faults m_faults;
    Replies m_replies;
    FakeClock m_clock;
    WatchedPort m_port{m_clock};
    CHartLink m_link{m_port, m_clock};
};

// Operations, by the first byte modulo their count.
enum Operation : uint8_t {
    kReceiveShort,  // the line's bytes are there when the reception starts
    kReceiveLong,
    kPoll,             // argument: address in the low nibble, attempts in the high one
    kPollThenCommand,  // the identity comes from the line, then a command by long address
    kPollThenCommand2,
    kPollThenShort,    // a command by short address, its data byte next in the input
    kCommandToDevice,  // command 13 to the manufacturer in the argument, the type next
    kDecoders,
    kSendThenReceive,  // an arbitrary request, then its reply; both with the argument's wait
    kReceiveOverTime,  // the line's bytes arrive in pieces while the reception runs
    kOperationCount
};

inline void RunOne(const uint8_t* data, size_t size) {
    Input in(data, size);
    const uint8_t operation = in.Byte() % kOperationCount;
    const uint8_t argument = in.Byte();
    const uint8_t flags = in.Byte();
    if (operation == kDecoders) {
        RunDecoders(in);
        return;
    }
    const Faults faults = Faults::Read(flags, in);

    Run run(faults, in);
    CHartLink& link = run.Link();
    Require(link.OpenPort(static_cast<uint8_t>(argument | 1), 1200) == kLinkOk);
    run.Arm();
    // Waits the callers do not use but may: 0 to 2.5 s.
    const uint32_t argumentWaitMs = argument * 10u;
    switch (operation) {
        case kReceiveShort:
        case kReceiveLong:
            run.Port().Arrive(in.Rest());
            run.Receive(operation == kReceiveLong, argumentWaitMs);
            break;
        case kPoll:
            run.PollIdentity(argument & 0x0F, static_cast<uint8_t>(argument >> 4));
            break;
        case kPollThenCommand:
        case kPollThenCommand2:
            run.PollIdentity(0, 1);
            run.SendCommand(argument);
            break;
        case kPollThenShort: {
            const uint8_t dataByte = in.Byte();
            run.PollIdentity(argument & 0x0F, 1);
            run.SendShortCommand(argument, dataByte);
            break;
        }
        case kCommandToDevice:
            link.m_nManufacturer = argument;
            link.m_nDeviceType = in.Byte();
            run.SendCommand(13);
            break;
        case kSendThenReceive:
            run.Send(in.Take(in.Byte()), argumentWaitMs);
            run.Receive(argument & 1, argumentWaitMs);
            break;
        case kReceiveOverTime: {
            const uint32_t waitMs = (argument >> 1) * 20u;
            // Long enough past the reception's bound that a reception overrunning it meets
            // bytes still.
            const uint64_t untilMs = run.NowMs() + 2 * hart::ReceptionBoundMs(waitMs);
            ArriveInPieces(in, run.Port(), run.NowMs(), faults.lineRepeats, untilMs);
            run.Receive(argument & 1, waitMs);
            break;
        }
    }
    link.ClosePort();
}

}  // namespace linkfuzz
