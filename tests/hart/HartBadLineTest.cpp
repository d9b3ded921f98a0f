// The link on lines that misbehave: late echo tails, trickles and babble, a port that stops
// working, a stop request, a transmitter that finishes late, another station on the line.
#include <memory>

#include "LinkFixture.h"
#include "hart/LinkBounds.h"

namespace linktest {
namespace {

using Kind = FakeSerial::Kind;

constexpr LongAddress kDevice{0x26, 0x06, {0xFF, 0x34, 0x56}};  // an identifier byte 0xFF

class BadLine : public LinkTest {
protected:
    uint64_t Since(uint64_t startMs) const { return m_clock.NowMs() - startMs; }
    void RecordDevice() {
        m_link.m_nManufacturer = kDevice.manufacturer;
        m_link.m_nDeviceType = kDevice.deviceType;
        std::memcpy(m_link.m_deviceId, kDevice.id, 3);
        m_link.m_nUniversalRev = 7;
    }
    // Each request comes back late by its last tailBytes, 16 ms after it left (after the
    // purge), then the reply follows.
    void AnswerWithLateEchoTail(size_t tailBytes, Bytes reply) {
        m_port.SetTurnaroundMs(60);
        Answer([this, tailBytes, reply](const Bytes& request) {
            const Bytes tail(request.end() - static_cast<std::ptrdiff_t>(tailBytes), request.end());
            m_port.Arrive(tail, m_clock.NowMs() + FakeSerial::OnAirMs(request.size()) + 16);
            return reply;
        });
    }
    // One byte every periodMs from now until untilMs.
    void Trickle(uint8_t byte, uint64_t periodMs, uint64_t untilMs) {
        for (uint64_t at = m_clock.NowMs(); at < untilMs; at += periodMs) m_port.Arrive({byte}, at);
    }
};

TEST_F(BadLine, ALateEchoTailIsNotTakenForTheReply) {
    const Bytes tag{0x50, 0x11, 0xF1, 0x82, 0x08, 0x20};
    RecordDevice();
    // The tail "FF 34 56 0D 00 cs" of the long request holds 0xFF and then a byte that would
    // pass for a delimiter.
    AnswerWithLateEchoTail(6, Frame(5, LongBody(0x86, kDevice, 13, 0, tag)));
    ASSERT_TRUE(m_link.SendCommand(13, m_reply));
    EXPECT_EQ(Bytes(m_reply, m_reply + 6), tag);
    EXPECT_EQ(Requests(), 1u) << "the first answer must be taken";

    // The whole identity poll, preamble and all, coming back after the purge.
    AnswerWithLateEchoTail(25,
                           Frame(5, ShortBody(0x06, 0, 0, 0, ExpandedIdentity(1, 2, 7, 4, 5, 6))));
    ASSERT_TRUE(m_link.PollIdentity(0, 1));
    EXPECT_EQ(m_link.m_deviceId[2], 6);
}

TEST_F(BadLine, AFrameThatOnlyStartsLikeTheRequestIsStillReceived) {
    // Our identity poll ends "FF 02 00 00 00 02"; a frame "FF 02 00 00 00 ..." that goes on
    // differently is a frame, not an echo, and its bytes must not be lost to the check.
    m_link.PollIdentity(0, 0);  // nothing sent
    const Bytes request = Frame(20, {0x02, 0x00, 0x00, 0x00});
    ASSERT_EQ(m_link.SendFrame(request.data(), request.size(), 500), kLinkOk);
    const Bytes body{0x02, 0x00, 0x00, 0x01, 0x33};
    m_port.Arrive(Frame(3, body));
    ASSERT_EQ(m_link.ReceiveFrame(false, m_reply, 500), kLinkOk);
    EXPECT_EQ(Bytes(m_reply, m_reply + body.size()), body);
}

TEST_F(BadLine, ReceptionsEndInTimeOnATrickleOfPreambleAndOnBabble) {
    const uint64_t bound = hart::ReceptionBoundMs(500);
    // One 0xFF every 400 ms never lets three read waits run out.
    Trickle(0xFF, 400, m_clock.NowMs() + 600000);
    uint64_t start = m_clock.NowMs();
    EXPECT_EQ(m_link.ReceiveFrame(false, m_reply, 500), kLinkNoReply);
    EXPECT_LE(Since(start), bound);
    EXPECT_GE(Since(start), 1500u) << "the hunt still gets its waits";

    // Back to back at line pace, never a delimiter.
    Trickle(0xFF, 9, m_clock.NowMs() + 600000);
    start = m_clock.NowMs();
    EXPECT_EQ(m_link.ReceiveFrame(true, m_reply, 500), kLinkNoReply);
    EXPECT_LE(Since(start), bound);
}

TEST_F(BadLine, AFrameStartedLateStillEndsWithinTheReceptionBound) {
    // A delimiter just before the hunt's end, then a byte count of 255 whose data trickles.
    m_port.Arrive({0xFF, 0x86}, m_clock.NowMs() + 1490);
    m_port.Arrive({1, 2, 3, 4, 5, 6, 255}, m_clock.NowMs() + 1700);
    Trickle(0x00, 400, m_clock.NowMs() + 60000);
    const uint64_t start = m_clock.NowMs();
    EXPECT_NE(m_link.ReceiveFrame(true, m_reply, 500), kLinkOk);
    EXPECT_LE(Since(start), hart::ReceptionBoundMs(500));
}

TEST_F(BadLine, APortThatStopsWorkingEndsTheCommandAtOnceAndStaysFailed) {
    m_port.HangUpAt(m_clock.NowMs() + 300);  // during the first reception
    const uint64_t start = m_clock.NowMs();
    EXPECT_FALSE(m_link.PollIdentity(0, 2));
    EXPECT_EQ(Requests(), 1u) << "a hung-up line is not retried";
    EXPECT_LE(Since(start), 600u);
    EXPECT_TRUE(m_link.PortFailed());
    EXPECT_EQ(m_link.PortFailure(), EIO);

    RecordDevice();
    EXPECT_FALSE(m_link.SendCommand(13, m_reply));
    EXPECT_FALSE(m_link.SendShortCommand(4, m_reply, 1));
    EXPECT_EQ(Requests(), 1u);
    EXPECT_EQ(m_link.ReceiveFrame(false, m_reply, 500), kLinkPortError);

    m_link.ClosePort();
    m_port.HangUpAt(UINT64_MAX);
    ASSERT_EQ(m_link.OpenPort(3, 1200), kLinkOk);
    EXPECT_FALSE(m_link.PortFailed()) << "a port opened again starts afresh";
}

TEST_F(BadLine, AfterAReadErrorNoCommandSendsAnythingMore) {
    // Writes still go through; only reading fails, as on a half-broken adapter.
    m_port.readStatus = EIO;
    RecordDevice();
    EXPECT_FALSE(m_link.SendCommand(13, m_reply));
    EXPECT_EQ(Requests(), 1u);
    const uint64_t start = m_clock.NowMs();
    EXPECT_FALSE(m_link.SendCommand(13, m_reply));
    EXPECT_FALSE(m_link.SendShortCommand(4, m_reply, 1));
    EXPECT_FALSE(m_link.PollIdentity(0, 2));
    EXPECT_EQ(Requests(), 1u);
    EXPECT_EQ(Since(start), 0u) << "no pause on a failed port";
}

TEST_F(BadLine, AStopRequestEndsAnExchangeAndEveryPauseAfterIt) {
    RecordDevice();
    m_port.writeStatus = kSerialTimeout;  // each failed send would pause a second
    m_clock.SetAlarm(m_clock.NowMs() + 700, [this] { m_port.Wakeup().Signal(); });
    const uint64_t start = m_clock.NowMs();
    EXPECT_FALSE(m_link.SendCommand(13, m_reply));
    EXPECT_TRUE(m_link.StopRequested());
    EXPECT_FALSE(m_link.PortFailed()) << "a stop is no port failure";
    EXPECT_LE(Since(start), 1100u);
    EXPECT_FALSE(m_link.Pause(1000));

    m_port.Wakeup().Clear();
    m_port.writeStatus = kSerialSuccess;
    m_clock.SetAlarm(m_clock.NowMs() + 100, [this] { m_port.Wakeup().Signal(); });
    EXPECT_FALSE(m_link.PollIdentity(0, 2));
    EXPECT_EQ(Requests(), 1u) << "one poll, cut short while keyed or listening";
    EXPECT_FALSE(m_port.RtsRaised()) << "stopped while keyed: the modem must be unkeyed";
    const Bytes frame = Frame(5, {0x02, 0x00, 0x00, 0x00});
    EXPECT_EQ(m_link.SendFrame(frame.data(), frame.size(), 500), kLinkInterrupted);
    EXPECT_FALSE(m_port.RtsRaised()) << "stopped before the write";

    m_port.Wakeup().Clear();
    m_port.lateTransmitterMs = 100;
    m_clock.SetAlarm(m_clock.NowMs() + 150, [this] { m_port.Wakeup().Signal(); });
    EXPECT_EQ(m_link.SendFrame(frame.data(), frame.size(), 500), kLinkInterrupted);
    EXPECT_FALSE(m_port.RtsRaised()) << "stopped while the transmitter drained";
}

TEST_F(BadLine, AnRtsLineThatWillNotSwitchIsAPortErrorButAMissingOneIsNot) {
    AnswerAlways(Frame(5, ShortBody(0x06, 0, 0, 0, ExpandedIdentity(1, 2, 7, 4, 5, 6))));
    m_port.rtsRaiseStatus = kSerialNoModemLines;  // a pty: no modem lines at all
    EXPECT_TRUE(m_link.PollIdentity(0, 1));

    for (SerialStatus* failing : {&m_port.rtsRaiseStatus, &m_port.rtsDropStatus}) {
        m_port.rtsRaiseStatus = m_port.rtsDropStatus = kSerialSuccess;
        m_link.ClosePort();
        ASSERT_EQ(m_link.OpenPort(3, 1200), kLinkOk);
        *failing = EIO;
        EXPECT_FALSE(m_link.PollIdentity(0, 2));
        EXPECT_TRUE(m_link.PortFailed()) << "not \"no reply\"";
        EXPECT_EQ(m_link.PortFailure(), EIO);
    }
}

TEST_F(BadLine, ACloseThatCouldNotPutTheLineBackIsKeptForTheCaller) {
    m_port.closeStatus = EIO;
    EXPECT_EQ(m_link.ClosePort(), EIO);
    EXPECT_EQ(m_link.ClosePort(), kSerialSuccess) << "already closed";
    EXPECT_EQ(m_link.CloseFailure(), EIO);
    ASSERT_EQ(m_link.OpenPort(3, 1200), kLinkOk);
    EXPECT_EQ(m_link.CloseFailure(), kSerialSuccess);
}

TEST_F(BadLine, RtsStaysUpUntilALateTransmitterHasSentTheLastByte) {
    const Bytes frame = Frame(20, {0x02, 0x00, 0x00, 0x00});
    m_port.lateTransmitterMs = 12;
    ASSERT_EQ(m_link.SendFrame(frame.data(), frame.size(), 500), kLinkOk);
    uint64_t written = 0, dropped = 0;
    for (const auto& e : m_port.Events()) {
        if (e.kind == Kind::Write) written = e.atMs;
        if (e.kind == Kind::RtsOff) dropped = e.atMs;
    }
    EXPECT_GE(dropped - written, FakeSerial::OnAirMs(frame.size()) + 12);
    EXPECT_FALSE(m_port.RtsRaised());
}

TEST_F(BadLine, BurstsWithoutEndCannotHoldAnIdentityPollPastItsBudget) {
    // A device bursting long frames back to back keeps raising the attempt limit.
    const Bytes burst = Frame(5, LongBody(0x81, {0x91, 0x22, {1, 2, 3}}, 3, 0, Bytes(200, 0)));
    AnswerAlways(burst);
    m_port.SetTurnaroundMs(300);
    const uint64_t start = m_clock.NowMs();
    EXPECT_FALSE(m_link.PollIdentity(1, 1));
    EXPECT_GE(Requests(), 2u) << "a burst still raises the limit";
    EXPECT_LE(Since(start), hart::kIdentityPollMsPerAttempt + hart::TransmissionBoundMs(25, 500));
}

}  // namespace
}  // namespace linktest
