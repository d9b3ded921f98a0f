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
    EXPECT_FALSE(o.fast);
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
    ASSERT_TRUE(Parse({"--link", "COM1", "--burst=250", "--other-master", "--busy", "3", "--echo",
                       "--noise", "--bad-checksum", "4", "--silent", "--fast", "--trace"},
                      o, error))
        << error;
    EXPECT_TRUE(o.behaviour.burst);
    EXPECT_EQ(o.behaviour.burstPeriodMs, 250u);
    EXPECT_TRUE(o.behaviour.otherMaster);
    EXPECT_EQ(o.behaviour.busyAnswers, 3u);
    EXPECT_TRUE(o.behaviour.echo);
    EXPECT_TRUE(o.behaviour.noise);
    EXPECT_EQ(o.behaviour.badChecksumEvery, 4u);
    EXPECT_TRUE(o.behaviour.silent);
    EXPECT_TRUE(o.fast);
    EXPECT_TRUE(o.trace);
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
        {"--link", "COM1", "--busy", "many"},
        {"--link", "COM1", "--echo=yes"},
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
         {"--link", "--port", "--device", "--burst", "--other-master", "--busy", "--echo",
          "--noise", "--bad-checksum", "--silent", "--fast", "--trace"}) {
        EXPECT_THAT(sim.Stdout(), HasSubstr(option));
    }
}

}  // namespace
