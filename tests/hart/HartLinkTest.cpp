// Opening the port at the HART line settings and sending one keyed frame.
#include <errno.h>

#include "LinkFixture.h"

namespace linktest {
namespace {

using Kind = FakeSerial::Kind;

class Opening : public ::testing::Test {
protected:
    FakeClock m_clock;
    FakeSerial m_port{m_clock};
    CHartLink m_link{m_port, m_clock};
};

TEST_F(Opening, OpensTheComNameAtTheHartLineAndSucceeds) {
    EXPECT_EQ(m_link.OpenPort(12, 1200), kLinkOk);
    EXPECT_EQ(m_port.OpenedPath(), "\\\\.\\COM12");
    ASSERT_EQ(m_port.Count(Kind::SetHartLine), 1);
    EXPECT_EQ(m_port.Events().back().value, 1200u);
    EXPECT_EQ(m_port.ReadMode(), CSerial::WaitForCount);
}

TEST_F(Opening, PortZeroIsRefusedWithoutTouchingThePort) {
    EXPECT_EQ(m_link.OpenPort(0, 1200), kLinkBadPortNumber);
    EXPECT_TRUE(m_port.Events().empty());
}

TEST_F(Opening, AnOpenPortIsNotOpenedAgain) {
    ASSERT_EQ(m_link.OpenPort(3, 1200), kLinkOk);
    EXPECT_EQ(m_link.OpenPort(3, 1200), kLinkAlreadyOpen);
    EXPECT_EQ(m_port.Count(Kind::Open), 1);
}

TEST_F(Opening, AnUnlistedBaudRateIsFoundAfterOpeningAndLeavesThePortOpen) {
    EXPECT_EQ(m_link.OpenPort(3, 1000), kLinkBadBaudRate);
    EXPECT_EQ(m_port.OpenedPath(), "\\\\.\\COM3");
    EXPECT_TRUE(m_port.IsOpen());
    EXPECT_EQ(m_port.Count(Kind::SetHartLine), 0);
    EXPECT_EQ(m_link.OpenPort(3, 1200), kLinkAlreadyOpen);
    m_link.ClosePort();
    EXPECT_EQ(m_link.OpenPort(3, 1200), kLinkOk);
}

TEST_F(Opening, AFailedOpenGivesPortErrorAndLeavesThePortClosed) {
    m_port.openStatus = ENOENT;
    EXPECT_EQ(m_link.OpenPort(3, 1200), kLinkPortError);
    EXPECT_FALSE(m_port.IsOpen());
}

TEST_F(Opening, AFailedLineSetupGivesPortError) {
    m_port.hartLineStatus = EINVAL;
    EXPECT_EQ(m_link.OpenPort(3, 1200), kLinkPortError);
}

TEST_F(Opening, ClosingTwiceIsHarmless) {
    ASSERT_EQ(m_link.OpenPort(3, 1200), kLinkOk);
    m_link.ClosePort();
    m_link.ClosePort();
    EXPECT_FALSE(m_port.IsOpen());
    EXPECT_EQ(m_port.Count(Kind::Close), 1);
}

// --- sending -----------------------------------------------------------------------

class Sending : public LinkTest {
protected:
    const Bytes m_poll = Frame(20, {0x02, 0x00, 0x00, 0x00});

    const FakeSerial::Event& First(Kind kind) const {
        for (const auto& e : m_port.Events())
            if (e.kind == kind) return e;
        static const FakeSerial::Event none{Kind::Close, 0, {}};
        ADD_FAILURE() << "no such event";
        return none;
    }
};

TEST_F(Sending, WritesTheFrameBetweenRaisingAndDroppingRtsThenDiscardsTheEcho) {
    ASSERT_EQ(m_link.SendFrame(m_poll.data(), m_poll.size(), 500), kLinkOk);
    std::vector<Kind> kinds;
    for (const auto& e : m_port.Events()) kinds.push_back(e.kind);
    EXPECT_EQ(kinds, (std::vector<Kind>{Kind::RtsOn, Kind::Write, Kind::Drain, Kind::RtsOff,
                                        Kind::AbortAndFlush}));
    EXPECT_EQ(m_port.Writes().at(0), m_poll);
    EXPECT_FALSE(m_port.RtsRaised());
}

TEST_F(Sending, HoldsRtsForTheOnAirTimePlusOneMillisecondAndNoMoreThanThreeBeyond) {
    struct Case {
        size_t length;
        uint64_t onAirMs;
    };
    for (Case c : {Case{25, 231}, Case{14, 129}, Case{11, 102}, Case{10, 93}}) {
        m_port.ClearEvents();
        const Bytes frame(c.length, 0xFF);
        ASSERT_EQ(m_link.SendFrame(frame.data(), frame.size(), 500), kLinkOk);
        const uint64_t held = First(Kind::RtsOff).atMs - First(Kind::Write).atMs;
        EXPECT_GE(held, c.onAirMs + 1) << c.length;
        EXPECT_LE(held, c.onAirMs + 1 + 3) << c.length;
    }
}

TEST_F(Sending, ARequestEchoedWhileKeyedIsGoneAfterTheSend) {
    m_port.SetEcho(true);
    ASSERT_EQ(m_link.SendFrame(m_poll.data(), m_poll.size(), 500), kLinkOk);
    EXPECT_EQ(m_port.PendingBytes(), 0u);
}

TEST_F(Sending, NoFrameGivesNoBufferAndTouchesNothing) {
    EXPECT_EQ(m_link.SendFrame(nullptr, 25, 500), kLinkNoBuffer);
    EXPECT_TRUE(m_port.Events().empty());
}

TEST_F(Sending, AWriteTimeOutGivesWriteIncompleteAndDropsRts) {
    m_port.writeStatus = kSerialTimeout;
    EXPECT_EQ(m_link.SendFrame(m_poll.data(), m_poll.size(), 500), kLinkWriteIncomplete);
    EXPECT_FALSE(m_port.RtsRaised());
    EXPECT_EQ(m_port.Count(Kind::RtsOff), 1);
}

TEST_F(Sending, AShortWriteGivesWriteIncompleteAndDropsRts) {
    m_port.writeShortBy = 1;
    EXPECT_EQ(m_link.SendFrame(m_poll.data(), m_poll.size(), 500), kLinkWriteIncomplete);
    EXPECT_FALSE(m_port.RtsRaised());
}

TEST_F(Sending, AFailingWriteGivesPortErrorAndDropsRtsAtOnce) {
    m_port.writeStatus = EIO;
    const uint64_t before = m_clock.NowMs();
    EXPECT_EQ(m_link.SendFrame(m_poll.data(), m_poll.size(), 500), kLinkPortError);
    EXPECT_FALSE(m_port.RtsRaised());
    EXPECT_EQ(m_clock.NowMs(), before);
    EXPECT_EQ(m_port.Count(Kind::AbortAndFlush), 0);
}

TEST_F(Sending, AClosedPortGivesANonZeroCode) {
    m_link.ClosePort();
    EXPECT_NE(m_link.SendFrame(m_poll.data(), m_poll.size(), 500), kLinkOk);
}

class RecordingObserver : public ILinkObserver {
public:
    void FrameSent(const uint8_t* frame, size_t length, unsigned result) override {
        sent.emplace_back(frame, frame + length);
        sendResults.push_back(result);
    }
    void FrameReceived(const uint8_t* reply, size_t length, unsigned result) override {
        received.emplace_back(reply, reply + length);
        receiveResults.push_back(result);
    }
    std::vector<Bytes> sent, received;
    std::vector<unsigned> sendResults, receiveResults;
};

TEST_F(Sending, AnObserverSeesEachFrameSentAndEachReception) {
    RecordingObserver observer;
    m_link.SetObserver(&observer);
    const Bytes reply = Frame(5, {0x06, 0x00, 0x00, 0x02, 0x00, 0x00});
    AnswerAlways(reply);
    ASSERT_EQ(m_link.SendFrame(m_poll.data(), m_poll.size(), 500), kLinkOk);
    ASSERT_EQ(m_link.ReceiveFrame(false, m_reply, 500), kLinkOk);
    // A frame whose checksum fails is reported as read, checksum byte and all.
    Bytes corrupted = reply;
    corrupted.back() ^= 0x5A;
    m_port.Arrive(corrupted);
    ASSERT_EQ(m_link.ReceiveFrame(false, m_reply, 500), kLinkChecksumMismatch);
    m_port.SetResponder(nullptr);
    ASSERT_EQ(m_link.ReceiveFrame(false, m_reply, 500), kLinkNoReply);

    EXPECT_EQ(observer.sent, std::vector<Bytes>{m_poll});
    EXPECT_EQ(observer.sendResults, std::vector<unsigned>{kLinkOk});
    EXPECT_EQ(
        observer.received,
        (std::vector<Bytes>{Bytes{0x06, 0x00, 0x00, 0x02, 0x00, 0x00},
                            Bytes{0x06, 0x00, 0x00, 0x02, 0x00, 0x00, 0x5A ^ 0x04}, Bytes{}}));
    EXPECT_EQ(observer.receiveResults,
              (std::vector<unsigned>{kLinkOk, kLinkChecksumMismatch, kLinkNoReply}));
    m_link.SetObserver(nullptr);
}

}  // namespace
}  // namespace linktest
