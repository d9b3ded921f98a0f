// Hunting, reading and handing over one reply frame.
#include <errno.h>

#include "LinkFixture.h"

namespace linktest {
namespace {

using Kind = FakeSerial::Kind;

class Receiving : public LinkTest {
protected:
    void SetUp() override {
        LinkTest::SetUp();
        std::memset(m_reply, 0xEE, sizeof m_reply);
    }
    Bytes Delivered(size_t length) const { return Bytes(m_reply, m_reply + length); }
    // The caller's buffer still holds what it held before the call.
    bool BufferUntouched() const {
        for (uint8_t b : m_reply)
            if (b != 0xEE) return false;
        return true;
    }
    int Purges() const { return m_port.Count(Kind::Purge); }

    const Bytes m_shortBody{0x06, 0x00, 0x00, 0x04, 0x00, 0x00, 0xAA, 0xBB};
};

TEST_F(Receiving, DeliversAShortReplyWithoutPreambleAndChecksum) {
    m_port.Arrive(Frame(2, m_shortBody));
    ASSERT_EQ(m_link.ReceiveFrame(false, m_reply, 500), kLinkOk);
    EXPECT_EQ(Delivered(8), m_shortBody);
    EXPECT_EQ(m_reply[8], 0xEE);
    EXPECT_EQ(Purges(), 1);
}

TEST_F(Receiving, IgnoresNoiseBeforeThePreamble) {
    Bytes line{0x13, 0x00, 0x7E};
    const Bytes frame = Frame(2, m_shortBody);
    line.insert(line.end(), frame.begin(), frame.end());
    m_port.Arrive(line);
    ASSERT_EQ(m_link.ReceiveFrame(false, m_reply, 500), kLinkOk);
    EXPECT_EQ(Delivered(8), m_shortBody);
}

TEST_F(Receiving, ASilentLineGivesNoReplyAfterThreeReadWaits) {
    const uint64_t before = m_clock.NowMs();
    EXPECT_EQ(m_link.ReceiveFrame(false, m_reply, 500), kLinkNoReply);
    EXPECT_EQ(m_clock.NowMs() - before, 1500u);
    EXPECT_TRUE(BufferUntouched());
    EXPECT_EQ(Purges(), 1);
}

TEST_F(Receiving, PreambleFollowedBySilenceGivesNoReply) {
    m_port.Arrive({0xFF, 0xFF, 0xFF});
    EXPECT_EQ(m_link.ReceiveFrame(false, m_reply, 500), kLinkNoReply);
    EXPECT_TRUE(BufferUntouched());
    EXPECT_EQ(Purges(), 1);
}

TEST_F(Receiving, ALineOfEndlessPreambleEndsWithNoReplyLongBeforeItFallsSilent) {
    constexpr uint64_t kByteMs = 9;
    constexpr size_t kBytes = 10000;  // 90 s of preamble at line speed
    const uint64_t start = m_clock.NowMs();
    for (size_t i = 0; i < kBytes; ++i) m_port.Arrive({0xFF}, start + i * kByteMs);
    EXPECT_EQ(m_link.ReceiveFrame(false, m_reply, 500), kLinkNoReply);
    EXPECT_LT(m_clock.NowMs() - start, kBytes * kByteMs / 2);
}

TEST_F(Receiving, AHeaderThatNeverCompletesIsReadFourTimesThenGivesNoReply) {
    m_port.Arrive({0xFF, 0x06, 0x00});
    const uint64_t before = m_clock.NowMs();
    EXPECT_EQ(m_link.ReceiveFrame(false, m_reply, 500), kLinkNoReply);
    EXPECT_EQ(m_clock.NowMs() - before, 4 * 500u);
    EXPECT_TRUE(BufferUntouched());
    EXPECT_EQ(Purges(), 1);
}

TEST_F(Receiving, AHeaderThatArrivesLateIsReadAgainAndTheFrameDelivered) {
    const Bytes frame = Frame(1, m_shortBody);
    m_port.Arrive(Bytes(frame.begin(), frame.begin() + 2));
    m_port.Arrive(Bytes(frame.begin() + 2, frame.end()), m_clock.NowMs() + 700);
    ASSERT_EQ(m_link.ReceiveFrame(false, m_reply, 500), kLinkOk);
    EXPECT_EQ(Delivered(8), m_shortBody);
}

TEST_F(Receiving, DataOneByteShortGivesDataIncompleteAndLeavesTheBuffer) {
    Bytes frame = Frame(2, m_shortBody);
    frame.pop_back();
    m_port.Arrive(frame);
    EXPECT_EQ(m_link.ReceiveFrame(false, m_reply, 500), kLinkDataIncomplete);
    EXPECT_TRUE(BufferUntouched());
    EXPECT_EQ(Purges(), 1);
}

TEST_F(Receiving, AWrongChecksumGivesChecksumMismatchAndLeavesTheBuffer) {
    Bytes frame = Frame(2, m_shortBody);
    frame.back() ^= 0x01;
    m_port.Arrive(frame);
    EXPECT_EQ(m_link.ReceiveFrame(false, m_reply, 500), kLinkChecksumMismatch);
    EXPECT_TRUE(BufferUntouched());
    EXPECT_EQ(Purges(), 1);
}

TEST_F(Receiving, AReadErrorGivesPortError) {
    m_port.readStatus = EIO;
    EXPECT_EQ(m_link.ReceiveFrame(false, m_reply, 500), kLinkPortError);
    EXPECT_TRUE(BufferUntouched());
}

TEST_F(Receiving, NoBufferGivesNoBuffer) {
    EXPECT_EQ(m_link.ReceiveFrame(false, nullptr, 500), kLinkNoBuffer);
}

TEST_F(Receiving, ALongReplyIsReadWithTheLongHeader) {
    const Bytes body = LongBody(0x86, {0x26, 0x06, {0x12, 0x34, 0x56}}, 13, 0, {1, 2, 3});
    m_port.Arrive(Frame(5, body));
    ASSERT_EQ(m_link.ReceiveFrame(true, m_reply, 500), kLinkOk);
    EXPECT_EQ(Delivered(body.size()), body);
}

TEST_F(Receiving, ABurstFrameInShortModeIsWidenedToTheLongLayout) {
    const Bytes body = LongBody(0x81, {0x26, 0x06, {0x12, 0x34, 0x56}}, 3, 0, {9, 8, 7, 6});
    m_port.Arrive(Frame(2, body));
    ASSERT_EQ(m_link.ReceiveFrame(false, m_reply, 500), kLinkOk);
    EXPECT_EQ(Delivered(body.size()), body);
    EXPECT_EQ(m_reply[hart::kLongCommandPos], 3);
    EXPECT_EQ(m_reply[hart::kLongByteCountPos], 6);
}

TEST_F(Receiving, OtherMastersAndBurstsAreReadWithTheHeaderTheirDelimiterAnnounces) {
    // Another master's long-address request and a burst frame with a short address, in a
    // reception that expects the other header: both arrive whole, checksums verified.
    const Bytes master{0x82, 0xA6, 0x06, 0x12, 0x34, 0x56, 0x0D, 0x01, 0x77};
    m_port.Arrive(Frame(2, master));
    ASSERT_EQ(m_link.ReceiveFrame(false, m_reply, 500), kLinkOk);
    EXPECT_EQ(Delivered(master.size()), master);

    const Bytes burst{0x01, 0x40, 0x03, 0x02, 0x00, 0x00};
    m_port.Arrive(Frame(2, burst));
    ASSERT_EQ(m_link.ReceiveFrame(true, m_reply, 500), kLinkOk);
    EXPECT_EQ(Delivered(burst.size()), burst);
}

TEST_F(Receiving, TheAliasedAddressIsRewrittenAndTheChecksumTakenOverTheBytesAsReceived) {
    // The rewrite moves positions 4 to 6 up by one, so the byte count is read from what
    // arrived at position 6 (0x02) and the byte at 7 (0x99) is lost.
    const Bytes body{0x86, 0x28, 0x61, 0x33, 0x44, 0x55, 0x02, 0x99, 0xAB, 0xCD};
    m_port.Arrive(Frame(3, body));
    ASSERT_EQ(m_link.ReceiveFrame(true, m_reply, 500), kLinkOk);
    EXPECT_EQ(Delivered(10), (Bytes{0x86, 0x2C, 0x0A, 0x33, 0x44, 0x44, 0x55, 0x02, 0xAB, 0xCD}));
}

}  // namespace
}  // namespace linktest
