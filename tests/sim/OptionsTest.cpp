#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "SimProcess.h"
#include "sim/Options.h"

namespace {

using ::testing::HasSubstr;

bool Parse(const std::vector<std::string>& args, sim::SimOptions& options, std::string& error) {
    return sim::ParseOptions(args, options, error);
}

TEST(SimOptions, DefaultsToOneRevisionSevenDeviceAtAddressZero) {
    sim::SimOptions o;
    std::string error;
    ASSERT_TRUE(Parse({"--link", "COM200"}, o, error)) << error;
    EXPECT_EQ(o.linkCom, 200u);
    ASSERT_EQ(o.devices.size(), 1u);
    EXPECT_EQ(o.devices[0].pollAddress, 0);
    EXPECT_EQ(o.devices[0].revision, 7);
    EXPECT_EQ(o.devices[0].tag, "TRALVO01");
    EXPECT_FALSE(o.timing.fast);
}

TEST(SimOptions, ReadsEveryKeyOfADevice) {
    sim::SimOptions o;
    std::string error;
    ASSERT_TRUE(Parse({"--port", "/dev/pts/9", "--device",
                       "addr=5,tag=TAG1,id=0xABCDEF,mfr=0x11,type=34,rev=4,desc=D,longtag=L"},
                      o, error))
        << error;
    ASSERT_EQ(o.devices.size(), 1u);
    const sim::DeviceConfig& d = o.devices[0];
    EXPECT_EQ(d.pollAddress, 5);
    EXPECT_EQ(d.tag, "TAG1");
    EXPECT_EQ(d.deviceId, 0xABCDEFu);
    EXPECT_EQ(d.manufacturer, 0x11);
    EXPECT_EQ(d.deviceType, 34);
    EXPECT_EQ(d.revision, 4);
    EXPECT_EQ(d.descriptor, "D");
    EXPECT_EQ(d.longTag, "L");
}

TEST(SimOptions, RepeatedDevicesMakeAMultiDropLineWithTagsAndIdsOfTheirOwn) {
    sim::SimOptions o;
    std::string error;
    ASSERT_TRUE(Parse({"--link=COM7", "--device", "addr=1", "--device=addr=2"}, o, error)) << error;
    ASSERT_EQ(o.devices.size(), 2u);
    EXPECT_NE(o.devices[0].tag, o.devices[1].tag);
    EXPECT_NE(o.devices[0].deviceId, o.devices[1].deviceId);
}

TEST(SimOptions, ReadsTheBehaviours) {
    sim::SimOptions o;
    std::string error;
    ASSERT_TRUE(Parse({"--link", "COM1", "--burst=250", "--other-master", "--busy", "3",
                       "--busy-forever", "--echo", "--noise", "--bad-checksum", "4",
                       "--drop-every=5", "--silent", "--fast", "--trace"},
                      o, error))
        << error;
    EXPECT_TRUE(o.behaviour.burst);
    EXPECT_EQ(o.behaviour.burstPeriodMs, 250u);
    EXPECT_TRUE(o.behaviour.otherMaster);
    EXPECT_EQ(o.behaviour.busyAnswers, 3u);
    EXPECT_TRUE(o.behaviour.busyForever);
    EXPECT_TRUE(o.behaviour.echo);
    EXPECT_TRUE(o.behaviour.noise);
    EXPECT_EQ(o.behaviour.badChecksumEvery, 4u);
    EXPECT_EQ(o.behaviour.dropEvery, 5u);
    EXPECT_TRUE(o.behaviour.silent);
    EXPECT_TRUE(o.timing.fast);
    EXPECT_TRUE(o.trace);
}

TEST(SimOptions, ReadsTheBadLinesWithTheirDefaultsAndTheTurnaround) {
    sim::SimOptions o;
    std::string error;
    ASSERT_TRUE(Parse({"--link", "COM1"}, o, error)) << error;
    EXPECT_EQ(o.behaviour.vanishAfter, 0u);
    EXPECT_FALSE(o.behaviour.trickle);
    EXPECT_FALSE(o.behaviour.babble);
    EXPECT_EQ(o.behaviour.lateEchoBytes, 0u);
    EXPECT_EQ(o.timing.turnaroundMs, 20.0);

    ASSERT_TRUE(Parse({"--link", "COM1", "--vanish-after", "2", "--trickle", "--babble",
                       "--late-echo", "--turnaround", "35"},
                      o, error))
        << error;
    EXPECT_EQ(o.behaviour.vanishAfter, 2u);
    EXPECT_TRUE(o.behaviour.trickle);
    EXPECT_EQ(o.behaviour.tricklePeriodMs, 400u);
    EXPECT_TRUE(o.behaviour.babble);
    EXPECT_EQ(o.behaviour.lateEchoBytes, 3u);
    EXPECT_EQ(o.timing.turnaroundMs, 35.0);

    ASSERT_TRUE(Parse(
        {"--link", "COM1", "--vanish-after=7", "--trickle=50", "--late-echo=8", "--turnaround=0"},
        o, error))
        << error;
    EXPECT_EQ(o.behaviour.vanishAfter, 7u);
    EXPECT_EQ(o.behaviour.tricklePeriodMs, 50u);
    EXPECT_EQ(o.behaviour.lateEchoBytes, 8u);
    EXPECT_EQ(o.timing.turnaroundMs, 0.0);
}

TEST(SimOptions, AnUnusableTurnaroundIsRefusedByName) {
    for (const char* bad : {"10001", "-1", "20ms", ""}) {
        sim::SimOptions o;
        std::string error;
        EXPECT_FALSE(Parse({"--link", "COM1", "--turnaround", bad}, o, error)) << bad;
        EXPECT_THAT(error, HasSubstr("--turnaround")) << bad;
    }
    sim::SimOptions o;
    std::string error;
    EXPECT_FALSE(Parse({"--link", "COM1", "--turnaround"}, o, error));
    EXPECT_THAT(error, HasSubstr("--turnaround needs a value"));
}

TEST(SimOptions, RefusesCommandLinesThatCannotBeUsed) {
    const std::vector<std::vector<std::string>> bad = {
        {},                                      // no line
        {"--link", "COM1", "--port", "/dev/x"},  // two lines
        {"--link", "COM0"},
        {"--link", "COM256"},
        {"--link", "LPT1"},
        {"--link"},
        {"--link", "COM1", "--bogus"},
        {"--link", "COM1", "--device", "addr=64"},
        {"--link", "COM1", "--device", "tag=TOOLONGTAG"},
        {"--link", "COM1", "--device", "tag=A{B"},
        {"--link", "COM1", "--device", "id=0x1000000"},
        {"--link", "COM1", "--device", "colour=red"},
        {"--link", "COM1", "--device", "addr=1", "--device", "addr=1,id=9"},
        {"--link", "COM1", "--device", "addr=1,id=9", "--device", "addr=2,id=9"},
        {"--link", "COM1", "--bad-checksum", "0"},
        {"--link", "COM1", "--drop-every", "0"},
        {"--link", "COM1", "--drop-every"},
        {"--link", "COM1", "--drop-every", "2x"},
        {"--link", "COM1", "--busy", "many"},
        {"--link", "COM1", "--echo=yes"},
        {"--link", "COM1", "--vanish-after", "0"},
        {"--link", "COM1", "--vanish-after"},
        {"--link", "COM1", "--trickle=0"},
        {"--link", "COM1", "--trickle=9"},
        {"--link", "COM1", "--trickle", "50"},  // the period goes after '='
        {"--link", "COM1", "--babble=yes"},
        {"--link", "COM1", "--late-echo=0"},
        {"--link", "COM1", "--late-echo=256"},
    };
    for (const auto& args : bad) {
        sim::SimOptions o;
        std::string error;
        EXPECT_FALSE(Parse(args, o, error)) << ::testing::PrintToString(args);
        EXPECT_FALSE(error.empty()) << ::testing::PrintToString(args);
    }
}

TEST(SimProgram, ABadOptionEndsWithExitCode64AndAMessage) {
    SimProcess sim({"--link", "COM200", "--frobnicate"});
    ASSERT_TRUE(sim.Started());
    EXPECT_EQ(sim.Finish(), 64);
    EXPECT_THAT(sim.Stderr(), HasSubstr("--frobnicate"));
}

TEST(SimProgram, HelpExplainsTheOptionsAndSucceeds) {
    SimProcess sim({"--help"});
    ASSERT_TRUE(sim.Started());
    EXPECT_EQ(sim.Finish(), 0);
    for (const char* option :
         {"--link", "--port", "--device", "--burst", "--other-master", "--busy", "--busy-forever",
          "--echo", "--noise", "--bad-checksum", "--drop-every", "--silent", "--vanish-after",
          "--trickle", "--babble", "--late-echo", "--turnaround", "--fast", "--trace"}) {
        EXPECT_THAT(sim.Stdout(), HasSubstr(option));
    }
}

}  // namespace
