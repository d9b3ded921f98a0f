// The command transactions: identity poll, long-address commands, short-address commands.
#include <memory>

#include "LinkFixture.h"
#include "hart/LinkBounds.h"

namespace linktest {
namespace {

constexpr LongAddress kDevice{0x26, 0x06, {0x12, 0x34, 0x56}};

class Commands : public LinkTest {
protected:
    void RecordDevice(const LongAddress& a, uint8_t revision = 7) {
        m_link.m_nManufacturer = a.manufacturer;
        m_link.m_nDeviceType = a.deviceType;
        std::memcpy(m_link.m_deviceId, a.id, 3);
        m_link.m_nUniversalRev = revision;
    }
    uint64_t Elapsed() const { return m_clock.NowMs() - m_start; }

    uint64_t m_start = m_clock.NowMs();
};

Bytes IdentityReply(const Bytes& payload, uint8_t address = 0, uint8_t response = 0) {
    return Frame(5, ShortBody(0x06, address, 0, response, payload));
}
Bytes BurstFrame() {
    return Frame(5, LongBody(0x81, {0x80 | 0x11, 0x22, {1, 2, 3}}, 3, 0, {0, 0, 0, 0}));
}
// The primary master's request to the same device: the master bit sets it apart from ours
// (a frame that repeats our request is its echo).
Bytes MasterFrame() { return Frame(5, {0x82, 0x80 | 0x26, 0x06, 0x12, 0x34, 0x56, 13, 0}); }
Bytes LongAnswer(const LongAddress& a, uint8_t command, uint8_t response, const Bytes& payload) {
    return Frame(5, LongBody(0x86, a, command, response, payload));
}
Bytes ShortAnswer(uint8_t address, uint8_t command, const Bytes& payload, uint8_t delim = 0x06) {
    return Frame(5, ShortBody(delim, address, command, 0, payload));
}

// --- PollIdentity: requests and attempts -------------------------------------------

using IdentityPoll = Commands;

TEST_F(IdentityPoll, SendsCommandZeroInTwentyFivePreambledBytes) {
    m_link.PollIdentity(0, 1);
    m_link.PollIdentity(5, 1);
    const Bytes preamble(20, 0xFF);
    Bytes at0 = preamble, at5 = preamble;
    at0.insert(at0.end(), {0x02, 0x00, 0x00, 0x00, 0x02});
    at5.insert(at5.end(), {0x02, 0x05, 0x00, 0x00, 0x07});
    EXPECT_EQ(m_port.Writes(), (std::vector<Bytes>{at0, at5}));
}

TEST_F(IdentityPoll, OnASilentLineSendsExactlyTwiceAndRecordsTheAddress) {
    m_link.m_nPollAddress = 9;
    EXPECT_FALSE(m_link.PollIdentity(0, 2));
    EXPECT_EQ(Requests(), 2u);
    EXPECT_EQ(m_link.m_nPollAddress, 0);
}

TEST_F(IdentityPoll, WithZeroAttemptsSendsNothingButStillRecordsTheAddress) {
    EXPECT_FALSE(m_link.PollIdentity(7, 0));
    EXPECT_EQ(Requests(), 0u);
    EXPECT_EQ(m_link.m_nPollAddress, 7);
}

TEST_F(IdentityPoll, ABurstFrameRaisesTheLimitToTenAttempts) {
    AnswerAlways(BurstFrame());
    EXPECT_FALSE(m_link.PollIdentity(0, 1));
    EXPECT_EQ(Requests(), 10u);
}

TEST_F(IdentityPoll, AnotherMastersFrameRaisesTheLimitToTenAttempts) {
    // Read with the long header its delimiter announces, so that its checksum verifies.
    AnswerAlways(MasterFrame());
    EXPECT_FALSE(m_link.PollIdentity(0, 2));
    EXPECT_EQ(Requests(), 10u);
}

TEST_F(IdentityPoll, AnAnswerAfterABurstFrameIsTaken) {
    AnswerInTurn({BurstFrame(), BurstFrame(), IdentityReply(ExpandedIdentity(1, 2, 7, 4, 5, 6))});
    EXPECT_TRUE(m_link.PollIdentity(0, 1));
    EXPECT_EQ(m_link.m_deviceId[2], 6);
}

TEST_F(IdentityPoll, AStrayFrameIsRepeatedWithoutUsingAnAttempt) {
    const Bytes stray = Frame(5, ShortBody(0x86, 0, 0, 0, {}));
    AnswerInTurn({stray, stray, stray, IdentityReply(ExpandedIdentity(1, 2, 7, 4, 5, 6))});
    EXPECT_TRUE(m_link.PollIdentity(0, 1));
    EXPECT_EQ(Requests(), 4u);
}

TEST_F(IdentityPoll, StrayFramesWithoutEndUseAttemptsAfterTenFreeRepetitions) {
    AnswerAlways(Frame(5, ShortBody(0x86, 0, 0, 0, {})));
    EXPECT_FALSE(m_link.PollIdentity(0, 2));
    EXPECT_EQ(Requests(), 10u + 2u);
}

TEST_F(IdentityPoll, ACorruptedReplyUsesAnAttemptAndKeepsTheIdentity) {
    RecordDevice(kDevice);
    Bytes corrupt = IdentityReply(ExpandedIdentity(1, 2, 7, 4, 5, 6));
    corrupt.back() ^= 0xFF;
    AnswerAlways(corrupt);
    EXPECT_FALSE(m_link.PollIdentity(0, 2));
    EXPECT_EQ(Requests(), 2u);
    EXPECT_EQ(m_link.m_nManufacturer, 0x26);
    EXPECT_EQ(m_link.m_deviceId[0], 0x12);
}

// --- PollIdentity: the identity recorded -----------------------------------------------

TEST_F(IdentityPoll, RecordsTheIdentityOfTheLayoutMarkedBy254) {
    AnswerAlways(IdentityReply({254, 0x11, 0x22, 5, 5, 0, 0, 0, 0, 0x12, 0x34, 0x56}));
    ASSERT_TRUE(m_link.PollIdentity(0, 2));
    EXPECT_EQ(m_link.m_nManufacturer, 0x11);
    EXPECT_EQ(m_link.m_nDeviceType, 0x22);
    EXPECT_EQ(m_link.m_nUniversalRev, 5);
    EXPECT_EQ(Bytes(m_link.m_deviceId, m_link.m_deviceId + 3), (Bytes{0x12, 0x34, 0x56}));
}

TEST_F(IdentityPoll, RecordsTheLegacyLayoutWithTheFixedManufacturer) {
    AnswerAlways(IdentityReply({0x30, 0x99, 4, 0, 0, 0, 0, 1, 2, 3}));
    ASSERT_TRUE(m_link.PollIdentity(0, 2));
    EXPECT_EQ(m_link.m_nManufacturer, 38);
    EXPECT_EQ(m_link.m_nDeviceType, 0x30);
    EXPECT_EQ(m_link.m_nUniversalRev, 4);
    EXPECT_EQ(Bytes(m_link.m_deviceId, m_link.m_deviceId + 3), (Bytes{1, 2, 3}));
}

TEST_F(IdentityPoll, RewritesTheAliasedIdentityAndTakesTheIdFromTheMovedBytes) {
    // Payload bytes 8 to 10 hold the identifier; the rewrite moves them to 9 to 11.
    AnswerAlways(IdentityReply({254, 0x28, 0x61, 0x50, 7, 0, 0, 0, 0xA1, 0xA2, 0xA3, 0, 0, 0}));
    ASSERT_TRUE(m_link.PollIdentity(0, 1));
    EXPECT_EQ(m_link.m_nManufacturer, 0x2C);
    EXPECT_EQ(m_link.m_nDeviceType, 0x0A);
    EXPECT_EQ(m_link.m_nUniversalRev, 5);
    EXPECT_EQ(Bytes(m_link.m_deviceId, m_link.m_deviceId + 3), (Bytes{0xA1, 0xA2, 0xA3}));
}

TEST_F(IdentityPoll, AnAnswerWithAnErrorResponseCodeIsStillAnAnswer) {
    AnswerAlways(IdentityReply(ExpandedIdentity(0x11, 0x22, 6, 7, 8, 9), 0, 64));
    ASSERT_TRUE(m_link.PollIdentity(0, 1));
    EXPECT_EQ(m_link.m_nUniversalRev, 6);
}

// --- SendCommand ---------------------------------------------------------------

class LongCommand : public Commands {
protected:
    void SetUp() override {
        Commands::SetUp();
        RecordDevice(kDevice);
        std::memset(m_reply, 0xEE, sizeof m_reply);
    }
    bool ReplyUntouched() const {
        for (uint8_t b : m_reply)
            if (b != 0xEE) return false;
        return true;
    }
    const Bytes m_tag{0x50, 0x11, 0xF1, 0x82, 0x08, 0x20};
};

TEST_F(LongCommand, AddressesTheRecordedDeviceWithoutTheMasterAndBurstBits) {
    m_link.m_nManufacturer = 0xE6;
    AnswerAlways(LongAnswer(kDevice, 13, 0, m_tag));
    ASSERT_TRUE(m_link.SendCommand(13, m_reply));
    EXPECT_EQ(m_port.Writes().at(0), Frame(5, {0x82, 0x26, 0x06, 0x12, 0x34, 0x56, 0x0D, 0x00}));
    EXPECT_EQ(m_port.Writes().at(0).size(), 14u);
}

TEST_F(LongCommand, Copies90BytesFromThePayloadAndZerosPastIt) {
    AnswerAlways(LongAnswer(kDevice, 13, 0, m_tag));
    ASSERT_TRUE(m_link.SendCommand(13, m_reply));
    EXPECT_EQ(Bytes(m_reply, m_reply + 6), m_tag);
    EXPECT_EQ(Bytes(m_reply + 6, m_reply + 90), Bytes(84, 0));
    EXPECT_EQ(m_reply[90], 0xEE);
}

TEST_F(LongCommand, IgnoresTheMasterAndBurstBitsOfTheAnswersAddress) {
    AnswerAlways(LongAnswer({0xA6, 0x06, {0x12, 0x34, 0x56}}, 13, 0, m_tag));
    EXPECT_TRUE(m_link.SendCommand(13, m_reply));
}

TEST_F(LongCommand, OnASilentLineMakesFourAttemptsPausingBeforeTheFourth) {
    EXPECT_FALSE(m_link.SendCommand(13, m_reply));
    EXPECT_EQ(Requests(), 4u);
    EXPECT_TRUE(ReplyUntouched());
    // Four sends of 14 bytes (129 + 1 ms keyed), four hunts of 1500 ms, one pause of 1000 ms.
    EXPECT_EQ(Elapsed(), 4 * (130 + 1500) + 1000u);
}

TEST_F(LongCommand, AnAnswerFromAnotherDeviceUsesAnAttemptAndIsNotCopied) {
    AnswerAlways(LongAnswer({0x26, 0x06, {0x12, 0x34, 0x57}}, 13, 0, m_tag));
    EXPECT_FALSE(m_link.SendCommand(13, m_reply));
    EXPECT_EQ(Requests(), 4u);
    EXPECT_TRUE(ReplyUntouched());
}

TEST_F(LongCommand, AnAnswerFromAnotherDeviceThenTheRightOneSucceeds) {
    AnswerInTurn({LongAnswer({0x26, 0x07, {0x12, 0x34, 0x56}}, 13, 0, {1}),
                  LongAnswer(kDevice, 13, 0, m_tag)});
    EXPECT_TRUE(m_link.SendCommand(13, m_reply));
    EXPECT_EQ(Requests(), 2u);
    EXPECT_EQ(Bytes(m_reply, m_reply + 6), m_tag);
}

TEST_F(LongCommand, AnAnswerForAnotherCommandUsesAnAttempt) {
    AnswerAlways(LongAnswer(kDevice, 3, 0, m_tag));
    EXPECT_FALSE(m_link.SendCommand(13, m_reply));
    EXPECT_EQ(Requests(), 4u);
}

TEST_F(LongCommand, AnAnswerWithAnErrorResponseCodeIsStillAnAnswer) {
    AnswerAlways(LongAnswer(kDevice, 13, 64, {}));
    EXPECT_TRUE(m_link.SendCommand(13, m_reply));
    EXPECT_EQ(Requests(), 1u);
}

TEST_F(LongCommand, BusyAnswersAreRetriedAfterAPauseWithoutUsingAttempts) {
    const Bytes busy = LongAnswer(kDevice, 13, 32, {});
    AnswerInTurn({busy, LongAnswer(kDevice, 13, 33, {}), LongAnswer(kDevice, 13, 34, {}), busy,
                  busy, busy, LongAnswer(kDevice, 13, 0, m_tag)});
    EXPECT_TRUE(m_link.SendCommand(13, m_reply));
    EXPECT_EQ(Requests(), 7u);
    EXPECT_EQ(Bytes(m_reply, m_reply + 6), m_tag);
}

TEST_F(LongCommand, ThreeBusyAnswersThenAGoodOneSucceed) {
    const Bytes busy = LongAnswer(kDevice, 13, 32, {});
    AnswerInTurn({busy, busy, busy, LongAnswer(kDevice, 13, 0, m_tag)});
    const int sleepsBefore = m_clock.SleepCalls();
    EXPECT_TRUE(m_link.SendCommand(13, m_reply));
    EXPECT_EQ(Requests(), 4u);
    EXPECT_GT(m_clock.SleepCalls(), sleepsBefore);
}

TEST_F(LongCommand, ADeviceBusyForEverEndsWithFalseWithinItsBudget) {
    AnswerAlways(LongAnswer(kDevice, 13, 32, {}));
    EXPECT_FALSE(m_link.SendCommand(13, m_reply));
    EXPECT_GT(Requests(), 4u) << "busy answers are asked again";
    EXPECT_LE(Elapsed(), 4 * hart::kCommandMsPerAttempt + hart::TransmissionBoundMs(14, 500));
    EXPECT_TRUE(ReplyUntouched());
}

TEST_F(LongCommand, ABurstFrameRaisesTheAllowanceToEighteenAttempts) {
    AnswerAlways(BurstFrame());
    EXPECT_FALSE(m_link.SendCommand(13, m_reply));
    EXPECT_EQ(Requests(), 18u);
}

TEST_F(LongCommand, AnotherMastersFrameRaisesTheAllowanceToEighteenAttempts) {
    AnswerAlways(MasterFrame());
    EXPECT_FALSE(m_link.SendCommand(13, m_reply));
    EXPECT_EQ(Requests(), 18u);
}

TEST_F(LongCommand, AFailedSendPausesASecondAndStillListens) {
    m_port.writeStatus = kSerialTimeout;
    m_port.Arrive(LongAnswer(kDevice, 13, 0, m_tag), m_clock.NowMs() + 900);
    EXPECT_TRUE(m_link.SendCommand(13, m_reply));
    EXPECT_EQ(Bytes(m_reply, m_reply + 6), m_tag);
    EXPECT_GE(Elapsed(), 1000u);
}

// --- SendShortCommand ------------------------------------------------------------

using ShortCommand = LongCommand;

TEST_F(ShortCommand, SendsCommandAndDataByteToThePollAddress) {
    m_link.m_nPollAddress = 0;
    m_link.SendShortCommand(4, m_reply, 1);
    const Bytes expected{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x02, 0x00, 0x04, 0x01, 0x01, 0x06};
    EXPECT_EQ(m_port.Writes().at(0), expected);
}

TEST_F(ShortCommand, Copies40BytesFromThePayloadOfAnyAnswer) {
    m_link.m_nPollAddress = 2;
    // Neither the address nor the command of the answer are compared.
    AnswerAlways(ShortAnswer(9, 99, {0x00, 0x50, 0x11, 0xF1, 0x82, 0x08, 0x20}));
    ASSERT_TRUE(m_link.SendShortCommand(4, m_reply, 1));
    EXPECT_EQ(Bytes(m_reply, m_reply + 7), (Bytes{0x00, 0x50, 0x11, 0xF1, 0x82, 0x08, 0x20}));
    EXPECT_EQ(Bytes(m_reply + 7, m_reply + 40), Bytes(33, 0));
    EXPECT_EQ(m_reply[40], 0xEE);
}

TEST_F(ShortCommand, AnAnswerWithAnErrorResponseCodeIsStillAnAnswer) {
    AnswerAlways(Frame(5, ShortBody(0x06, 0, 4, 64, {})));
    EXPECT_TRUE(m_link.SendShortCommand(4, m_reply, 1));
}

TEST_F(ShortCommand, OnASilentLineMakesThreeAttempts) {
    EXPECT_FALSE(m_link.SendShortCommand(4, m_reply, 1));
    EXPECT_EQ(Requests(), 3u);
    EXPECT_TRUE(ReplyUntouched());
}

TEST_F(ShortCommand, ABurstFrameRaisesTheAllowanceToThirteenWithASecondsPauseEach) {
    AnswerAlways(BurstFrame());
    EXPECT_FALSE(m_link.SendShortCommand(4, m_reply, 1));
    EXPECT_EQ(Requests(), 13u);
    EXPECT_GE(Elapsed(), 13 * 1000u);
}

}  // namespace
}  // namespace linktest
