#include <algorithm>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "SimFrames.h"
#include "sim/FieldBus.h"

namespace {

using namespace simtest;
using ::testing::Each;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::Ne;

sim::DeviceConfig Device(uint8_t address, uint32_t id, uint8_t revision = 7) {
    sim::DeviceConfig d = sim::DefaultDevice(address);
    d.deviceId = id;
    d.revision = revision;
    return d;
}

std::vector<HeardFrame> Ask(sim::FieldBus& bus, const Bytes& request) {
    return FramesIn(bus.Hear(request));
}

// --- addressing -----------------------------------------------------------------------------

TEST(FieldBusAddressing, AnswersAnIdentityPollAtItsPollingAddressWithFivePreambles) {
    sim::FieldBus bus({Device(0, 0x123456)}, {});
    const Bytes reply = bus.Hear(IdentityPoll(0));
    ASSERT_GE(reply.size(), 6u);
    EXPECT_THAT(Bytes(reply.begin(), reply.begin() + 6),
                ElementsAre(0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x06));
    const auto frames = FramesIn(reply);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_TRUE(frames[0].checksumOk);
    EXPECT_THAT(frames[0].frame.address, ElementsAre(0x00));
    EXPECT_EQ(frames[0].frame.command, 0);
}

TEST(FieldBusAddressing, IgnoresShortFramesForOtherPollingAddresses) {
    sim::FieldBus bus({Device(3, 0x123456)}, {});
    EXPECT_TRUE(bus.Hear(IdentityPoll(0)).empty());
    EXPECT_TRUE(bus.Hear(IdentityPoll(4)).empty());
    EXPECT_EQ(Ask(bus, IdentityPoll(3)).size(), 1u);
}

TEST(FieldBusAddressing, IgnoresMasterAndBurstBitsOfAShortAddressAndEchoesTheMasterBit) {
    sim::FieldBus bus({Device(2, 0x123456)}, {});
    const auto frames = Ask(bus, Request(5, {0x02, 0x82, 0x00, 0x00}));
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_THAT(frames[0].frame.address, ElementsAre(0x82));
    EXPECT_EQ(Ask(bus, Request(5, {0x02, 0x42, 0x00, 0x00})).size(), 1u);
}

TEST(FieldBusAddressing, AnswersLongFramesOnlyAtItsLongAddress) {
    sim::FieldBus bus({Device(0, 0x123456)}, {});
    EXPECT_EQ(Ask(bus, LongRequest(0x26, 0x06, 0x123456, 13)).size(), 1u);
    EXPECT_TRUE(bus.Hear(LongRequest(0x26, 0x06, 0x123457, 13)).empty());
    EXPECT_TRUE(bus.Hear(LongRequest(0x26, 0x07, 0x123456, 13)).empty());
    EXPECT_TRUE(bus.Hear(LongRequest(0x25, 0x06, 0x123456, 13)).empty());
}

TEST(FieldBusAddressing, LongReplyCarriesTheLongAddressWithTheMasterBitAsReceived) {
    sim::FieldBus bus({Device(0, 0x123456)}, {});
    for (uint8_t first : {uint8_t{0x26}, uint8_t{0xA6}, uint8_t{0x66}}) {
        const auto frames = Ask(bus, LongRequest(first, 0x06, 0x123456, 13));
        ASSERT_EQ(frames.size(), 1u) << int(first);
        EXPECT_EQ(frames[0].frame.delimiter, 0x86);
        EXPECT_THAT(frames[0].frame.address,
                    ElementsAre(0x26 | (first & 0x80), 0x06, 0x12, 0x34, 0x56));
    }
}

TEST(FieldBusAddressing, EachDeviceOfAMultiDropLineAnswersAtItsOwnAddress) {
    sim::FieldBus bus({Device(1, 0x000001), Device(2, 0x000002)}, {});
    const auto first = Ask(bus, IdentityPoll(1));
    const auto second = Ask(bus, IdentityPoll(2));
    ASSERT_EQ(first.size(), 1u);
    ASSERT_EQ(second.size(), 1u);
    EXPECT_EQ(first[0].Payload().at(11), 0x01);
    EXPECT_EQ(second[0].Payload().at(11), 0x02);
    EXPECT_TRUE(bus.Hear(IdentityPoll(0)).empty());
}

// --- identity -------------------------------------------------------------------------------

TEST(FieldBusIdentity, RevisionFiveAndUpAnswerCommandZeroIn254Layout) {
    sim::DeviceConfig d = Device(0, 0xABCDEF, 5);
    d.manufacturer = 0x11;
    d.deviceType = 0x22;
    sim::FieldBus bus({d}, {});
    const auto frames = Ask(bus, IdentityPoll(0));
    ASSERT_EQ(frames.size(), 1u);
    const Bytes p = frames[0].Payload();
    ASSERT_GE(p.size(), 12u);
    EXPECT_EQ(p[0], 254);
    EXPECT_EQ(p[1], 0x11);
    EXPECT_EQ(p[2], 0x22);
    EXPECT_EQ(p[3], 5);  // preambles the device wants
    EXPECT_EQ(p[4], 5);
    EXPECT_THAT(Bytes(p.begin() + 9, p.begin() + 12), ElementsAre(0xAB, 0xCD, 0xEF));
    EXPECT_EQ(frames[0].ResponseCode(), 0);
}

TEST(FieldBusIdentity, RevisionFourAnswersCommandZeroInTheOldLayout) {
    sim::FieldBus bus({Device(0, 0x010203, 4)}, {});
    const auto frames = Ask(bus, IdentityPoll(0));
    ASSERT_EQ(frames.size(), 1u);
    const Bytes p = frames[0].Payload();
    ASSERT_GE(p.size(), 10u);
    EXPECT_EQ(p[0], 0x06);  // device type, never 254
    EXPECT_EQ(p[2], 4);
    EXPECT_THAT(Bytes(p.begin() + 7, p.begin() + 10), ElementsAre(1, 2, 3));
}

// --- commands -------------------------------------------------------------------------------

TEST(FieldBusCommands, CommandThirteenCarriesTagDescriptorAndDate) {
    sim::DeviceConfig d = Device(0, 0x123456);
    d.tag = "TAG1";
    d.descriptor = "PUMP 7 OUTLET";
    sim::FieldBus bus({d}, {});
    const auto frames = Ask(bus, LongRequest(0x26, 0x06, 0x123456, 13));
    ASSERT_EQ(frames.size(), 1u);
    const Bytes p = frames[0].Payload();
    ASSERT_EQ(p.size(), 21u);
    EXPECT_THAT(Bytes(p.begin(), p.begin() + 6), ElementsAre(0x50, 0x11, 0xF1, 0x82, 0x08, 0x20));
    EXPECT_EQ(Unpack(Bytes(p.begin() + 6, p.begin() + 18)), "PUMP 7 OUTLET   ");
    EXPECT_LE(p[18], 31);  // day
    EXPECT_LE(p[19], 12);  // month
}

TEST(FieldBusCommands, PackedTagsAreSentInUpperCase) {
    sim::DeviceConfig d = Device(0, 0x123456);
    d.tag = "pt-101";
    sim::FieldBus bus({d}, {});
    const auto frames = Ask(bus, LongRequest(0x26, 0x06, 0x123456, 13));
    ASSERT_EQ(frames.size(), 1u);
    const Bytes p = frames[0].Payload();
    EXPECT_THAT(Bytes(p.begin(), p.begin() + 6), ElementsAre(0x41, 0x4B, 0x71, 0xC3, 0x18, 0x20));
}

TEST(FieldBusCommands, CommandThreeGivesALoopCurrentNearTwelveMilliampsThatDrifts) {
    sim::FieldBus bus({Device(0, 0x123456)}, {});
    std::vector<float> currents;
    for (int i = 0; i < 4; ++i) {
        const auto frames = Ask(bus, LongRequest(0x26, 0x06, 0x123456, 3));
        ASSERT_EQ(frames.size(), 1u);
        const Bytes p = frames[0].Payload();
        ASSERT_GE(p.size(), 9u);
        currents.push_back(FloatAt(p, 0));
        EXPECT_EQ(p[4], 12);  // kPa
        EXPECT_NEAR(FloatAt(p, 5), (currents.back() - 4.0f) / 16.0f * 100.0f, 0.01f);
    }
    for (float c : currents) EXPECT_NEAR(c, 12.0f, 0.5f);
    EXPECT_NE(currents[1], currents[2]);
}

TEST(FieldBusCommands, CommandTwentyCarriesThe32ByteLongTag) {
    sim::DeviceConfig d = Device(0, 0x123456);
    d.longTag = "BOILER FEED PUMP";
    sim::FieldBus bus({d}, {});
    const auto frames = Ask(bus, LongRequest(0x26, 0x06, 0x123456, 20));
    ASSERT_EQ(frames.size(), 1u);
    const Bytes p = frames[0].Payload();
    ASSERT_EQ(p.size(), 32u);
    EXPECT_EQ(std::string(p.begin(), p.begin() + 16), "BOILER FEED PUMP");
    EXPECT_EQ(p[16], 0);
}

TEST(FieldBusCommands, UnknownCommandsAnswerResponseCode64WithoutPayload) {
    sim::FieldBus bus({Device(0, 0x123456)}, {});
    const auto frames = Ask(bus, LongRequest(0x26, 0x06, 0x123456, 200));
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].frame.command, 200);
    EXPECT_THAT(frames[0].frame.data, ElementsAre(64, 0));
}

TEST(FieldBusCommands, RevisionFourAnswersCommandFourWithTheTagAfterTheDataByte) {
    sim::DeviceConfig d = Device(0, 0x123456, 4);
    d.tag = "TAG1";
    sim::FieldBus bus({d}, {});
    // The tag read of an old device, byte for byte.
    const Bytes request{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x02, 0x00, 0x04, 0x01, 0x01, 0x06};
    const auto frames = Ask(bus, request);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].frame.delimiter, 0x06);
    EXPECT_THAT(frames[0].Payload(), ElementsAre(0x01, 0x50, 0x11, 0xF1, 0x82, 0x08, 0x20));
    EXPECT_EQ(Ask(bus, LongRequest(0x26, 0x06, 0x123456, 13)).at(0).ResponseCode(), 64);
}

// --- behaviours -----------------------------------------------------------------------------

TEST(FieldBusBehaviour, BusyAnswersComeFirstForCommandsThreeAndThirteenOnly) {
    sim::Behaviour b;
    b.busyAnswers = 2;
    sim::FieldBus bus({Device(0, 0x123456)}, b);
    EXPECT_EQ(Ask(bus, IdentityPoll(0)).at(0).ResponseCode(), 0);
    const auto busy = Ask(bus, LongRequest(0x26, 0x06, 0x123456, 13));
    EXPECT_THAT(busy.at(0).frame.data, ElementsAre(32, 0));
    EXPECT_EQ(Ask(bus, LongRequest(0x26, 0x06, 0x123456, 3)).at(0).ResponseCode(), 32);
    EXPECT_EQ(Ask(bus, LongRequest(0x26, 0x06, 0x123456, 13)).at(0).ResponseCode(), 0);
    EXPECT_EQ(Ask(bus, LongRequest(0x26, 0x06, 0x123456, 3)).at(0).ResponseCode(), 0);
}

TEST(FieldBusBehaviour, EveryNthAnswerCarriesAWrongChecksum) {
    sim::Behaviour b;
    b.badChecksumEvery = 3;
    sim::FieldBus bus({Device(0, 0x123456)}, b);
    std::vector<bool> ok;
    for (int i = 0; i < 6; ++i) ok.push_back(Ask(bus, IdentityPoll(0)).at(0).checksumOk);
    EXPECT_THAT(ok, ElementsAre(true, true, false, true, true, false));
}

TEST(FieldBusBehaviour, EveryNthRequestHeardGoesUnansweredAndIsNoAnswerToCorrupt) {
    sim::Behaviour b;
    b.dropEvery = 3;
    b.badChecksumEvery = 2;
    sim::FieldBus bus({Device(0, 0x123456)}, b);
    std::vector<std::string> answers;
    // The request to an address nobody has counts as heard.
    for (uint8_t address : {0, 0, 0, 0, 9, 0, 0, 0}) {
        const auto frames = Ask(bus, IdentityPoll(address));
        answers.push_back(frames.empty() ? "none" : frames.at(0).checksumOk ? "ok" : "bad");
    }
    EXPECT_THAT(answers, ElementsAre("ok", "bad", "none", "ok", "none", "none", "bad", "ok"));
}

TEST(FieldBusBehaviour, BurstModeSendsABurstFrameAfterEachAnswer) {
    sim::Behaviour b;
    b.burst = true;
    sim::FieldBus bus({Device(0, 0x123456)}, b);
    const auto frames = Ask(bus, IdentityPoll(0));
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0].frame.delimiter, 0x06);
    EXPECT_EQ(frames[0].frame.address.at(0) & 0x40, 0x40);  // the answer says: burst mode
    EXPECT_EQ(frames[1].frame.delimiter, 0x81);
    EXPECT_THAT(frames[1].frame.address, ElementsAre(0x66, 0x06, 0x12, 0x34, 0x56));
    EXPECT_EQ(frames[1].frame.command, 3);
    EXPECT_TRUE(frames[1].checksumOk);
}

TEST(FieldBusBehaviour, OtherMasterRequestsAreLongFramesFromAPrimaryMaster) {
    sim::FieldBus bus({Device(0, 0x123456)}, {});
    const auto frames = FramesIn(bus.OtherMasterRequest().bytes);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].frame.delimiter, 0x82);
    EXPECT_EQ(frames[0].frame.address.at(0) & 0x80, 0x80);
    EXPECT_TRUE(frames[0].checksumOk);
}

TEST(FieldBusBehaviour, EchoPutsTheRequestBackBeforeTheAnswer) {
    sim::Behaviour b;
    b.echo = true;
    sim::FieldBus bus({Device(0, 0x123456)}, b);
    const Bytes request = IdentityPoll(0);
    const Bytes out = bus.Hear(request);
    ASSERT_GT(out.size(), request.size());
    EXPECT_THAT(Bytes(out.begin(), out.begin() + request.size()), ElementsAreArray(request));
    EXPECT_EQ(FramesIn(out).back().frame.delimiter, 0x06);
}

TEST(FieldBusBehaviour, LateEchoPutsTheTailOfTheRequestBeforeTheAnswerAndNeverTwice) {
    sim::Behaviour b;
    b.lateEchoBytes = 3;
    const Bytes request = LongRequest(0x26, 0x06, 0x123456, 13);
    sim::FieldBus bus({Device(0, 0x123456)}, b);
    const Bytes out = bus.Hear(request);
    ASSERT_GT(out.size(), 3u);
    EXPECT_THAT(Bytes(out.begin(), out.begin() + 3),
                ElementsAreArray(request.end() - 3, request.end()));
    const auto frames = FramesIn(Bytes(out.begin() + 3, out.end()));
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].frame.delimiter, 0x86);

    // With the echo at once as well, the tail is part of it and does not come again.
    b.echo = true;
    sim::FieldBus echoing({Device(0, 0x123456)}, b);
    const Bytes echoed = echoing.Hear(request);
    EXPECT_EQ(echoed.size(), request.size() + out.size() - 3);
    EXPECT_THAT(Bytes(echoed.begin(), echoed.begin() + static_cast<long>(request.size())),
                ElementsAreArray(request));
}

TEST(FieldBusBehaviour, NoisePutsJunkOtherThanPreambleBytesBeforeTheAnswer) {
    sim::Behaviour b;
    b.noise = true;
    sim::FieldBus bus({Device(0, 0x123456)}, b);
    const Bytes out = bus.Hear(IdentityPoll(0));
    const auto preamble = std::find(out.begin(), out.end(), 0xFF);
    ASSERT_NE(preamble, out.begin());
    EXPECT_THAT(Bytes(out.begin(), preamble), Each(Ne(0xFF)));
    EXPECT_EQ(FramesIn(out).size(), 1u);
}

TEST(FieldBusBehaviour, SilentDevicesNeverAnswer) {
    sim::Behaviour b;
    b.silent = true;
    sim::FieldBus bus({Device(0, 0x123456)}, b);
    EXPECT_TRUE(bus.Hear(IdentityPoll(0)).empty());
}

// --- hearing the line -----------------------------------------------------------------------

TEST(FieldBusHearing, IgnoresARequestWithABadChecksum) {
    sim::FieldBus bus({Device(0, 0x123456)}, {});
    Bytes request = IdentityPoll(0);
    request.back() ^= 0x01;
    EXPECT_TRUE(bus.Hear(request).empty());
    EXPECT_EQ(Ask(bus, IdentityPoll(0)).size(), 1u);  // and hears the next one
}

TEST(FieldBusHearing, AnswersOnlyOnceARequestDeliveredInPiecesIsComplete) {
    sim::FieldBus bus({Device(0, 0x123456)}, {});
    const Bytes request = LongRequest(0x26, 0x06, 0x123456, 13);
    EXPECT_TRUE(bus.Hear(Bytes(request.begin(), request.begin() + 3)).empty());
    EXPECT_TRUE(bus.Hear(Bytes(request.begin() + 3, request.begin() + 9)).empty());
    EXPECT_TRUE(bus.Hear(Bytes(request.begin() + 9, request.end() - 1)).empty());
    EXPECT_EQ(FramesIn(bus.Hear(Bytes(request.end() - 1, request.end()))).size(), 1u);
}

TEST(FieldBusHearing, FindsARequestAfterJunkAndAnUnknownDelimiter) {
    sim::FieldBus bus({Device(0, 0x123456)}, {});
    Bytes line{0x12, 0x00, 0xFF, 0xFF, 0x37, 0x55};
    const Bytes request = IdentityPoll(0);
    line.insert(line.end(), request.begin(), request.end());
    EXPECT_EQ(Ask(bus, line).size(), 1u);
}

TEST(FieldBusHearing, DoesNotAnswerRepliesOrBurstFramesOfOthers) {
    sim::FieldBus bus({Device(0, 0x123456)}, {});
    EXPECT_TRUE(bus.Hear(Request(5, {0x06, 0x00, 0x00, 0x02, 0x00, 0x00})).empty());
    EXPECT_TRUE(bus.Hear(Request(5, {0x81, 0x26, 0x06, 0x12, 0x34, 0x56, 0x03, 0x00})).empty());
}

TEST(FieldBusHearing, TwoRequestsInOneDeliveryGetTwoAnswers) {
    sim::FieldBus bus({Device(0, 0x123456)}, {});
    Bytes line = IdentityPoll(0);
    const Bytes second = LongRequest(0x26, 0x06, 0x123456, 13);
    line.insert(line.end(), second.begin(), second.end());
    const auto frames = Ask(bus, line);
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[1].frame.command, 13);
}

}  // namespace
