// The master link and the simulated devices meet over real ptys, in real time.
#include <chrono>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "hart/Encoding.h"
#include "hart/HartLink.h"
#include "hart/LinkBounds.h"
#include "serial/ComPortMap.h"
#include "serial/Serial.h"
#include "sim/ServedPty.h"
#include "tests/serial/ScopedConfigHome.h"
#include "tests/sim/SimProcess.h"

namespace {

constexpr uint8_t kComPort = 210;

sim::DeviceConfig Device(uint8_t address, const char* tag, uint32_t id, uint8_t revision = 7) {
    sim::DeviceConfig d = sim::DefaultDevice(address);
    d.tag = tag;
    d.deviceId = id;
    d.revision = revision;
    return d;
}

std::string Tag(const uint8_t* packed) {
    char text[22] = {};
    UnpackAscii(packed, text, 6);
    return std::string(text, 8);
}

float Float(const uint8_t* bytes) {
    float value = 0;
    DecodeFloat(&value, bytes);
    return value;
}

// Plugs the line in as COM<kComPort> the way tralvo-sim --link does, and opens it.
class SimLink : public ::testing::Test {
protected:
    void Plug(const std::string& slavePath) {
        ASSERT_TRUE(m_home.Link(PortLinkPath(kComPort), slavePath));
        ASSERT_EQ(m_link.OpenPort(kComPort, 1200), 0u);
    }
    void TearDown() override { m_link.ClosePort(); }

    ScopedConfigHome m_home;
    CSerial m_port;
    CHartLink m_link{m_port, SystemClock()};
    uint8_t m_reply[hart::kReplyBufferSize] = {};
};

TEST_F(SimLink, TralvoSimAnswersIdentityTagAndLoopCurrentOnItsComLink) {
    SimProcess sim({"--link", "COM" + std::to_string(kComPort), "--device",
                    "addr=0,tag=TAG1,id=0x123456,mfr=0x26,type=0x06,rev=7"});
    ASSERT_TRUE(sim.WaitForOutput("\n")) << sim.Stderr();
    ASSERT_EQ(m_link.OpenPort(kComPort, 1200), 0u);

    ASSERT_TRUE(m_link.PollIdentity(0, 2));
    EXPECT_EQ(m_link.m_nManufacturer, 0x26);
    EXPECT_EQ(m_link.m_nDeviceType, 0x06);
    EXPECT_EQ(m_link.m_nUniversalRev, 7);
    EXPECT_EQ(m_link.m_deviceId[0], 0x12);
    EXPECT_EQ(m_link.m_deviceId[1], 0x34);
    EXPECT_EQ(m_link.m_deviceId[2], 0x56);

    ASSERT_TRUE(m_link.SendCommand(13, m_reply));
    EXPECT_EQ(Tag(m_reply), "TAG1    ");

    ASSERT_TRUE(m_link.SendCommand(3, m_reply));
    EXPECT_NEAR(Float(m_reply), 12.0f, 0.5f);

    m_link.ClosePort();
    EXPECT_EQ(sim.Finish(SIGTERM), 0);
}

TEST_F(SimLink, EachDeviceOfAMultiDropLineAnswersItsPollAndItsTagRead) {
    sim::ServedPty line({.fast = true},
                        {Device(1, "FIRST", 0x000111), Device(2, "SECOND", 0x000222)});
    ASSERT_TRUE(line.ok());
    Plug(line.SlavePath());

    ASSERT_TRUE(m_link.PollIdentity(1, 1));
    EXPECT_EQ(m_link.m_deviceId[2], 0x11);
    ASSERT_TRUE(m_link.SendCommand(13, m_reply));
    EXPECT_EQ(Tag(m_reply), "FIRST   ");

    ASSERT_TRUE(m_link.PollIdentity(2, 1));
    EXPECT_EQ(m_link.m_nPollAddress, 2);
    EXPECT_EQ(m_link.m_deviceId[2], 0x22);
    ASSERT_TRUE(m_link.SendCommand(13, m_reply));
    EXPECT_EQ(Tag(m_reply), "SECOND  ");

    // The loop current and the primary variable of the second device, not the first's.
    ASSERT_TRUE(m_link.SendCommand(3, m_reply));
    const float current = Float(m_reply);
    EXPECT_NEAR(current, 12.0f, 0.5f);
    EXPECT_NEAR(Float(m_reply + 5), (current - 4.0f) / 16.0f * 100.0f, 0.1f);
}

TEST_F(SimLink, AnOldDeviceBehindAnEchoingNoisyModemGivesItsTagByCommandFour) {
    sim::Behaviour modem;
    modem.echo = true;
    modem.noise = true;
    sim::ServedPty line({.fast = true}, {Device(0, "OLD4", 0x000444, 4)}, modem);
    ASSERT_TRUE(line.ok());
    Plug(line.SlavePath());

    ASSERT_TRUE(m_link.PollIdentity(0, 2));
    EXPECT_EQ(m_link.m_nUniversalRev, 4);
    EXPECT_EQ(m_link.m_nManufacturer, 38);
    ASSERT_TRUE(m_link.SendShortCommand(4, m_reply, 1));
    EXPECT_EQ(Tag(m_reply + 1), "OLD4    ");
}

TEST_F(SimLink, AModemWhoseEchoTailComesAfterThePurgeStillGivesEveryAnswerAtOnce) {
    sim::Behaviour modem;
    modem.lateEchoBytes = 6;  // the long request's tail holds the identifier byte 0xFF
    sim::ServedPty line({}, {Device(0, "LATE", 0xFF3456)}, modem);
    ASSERT_TRUE(line.ok());
    Plug(line.SlavePath());

    ASSERT_TRUE(m_link.PollIdentity(0, 1));
    ASSERT_EQ(m_link.m_deviceId[0], 0xFF);
    ASSERT_TRUE(m_link.SendCommand(13, m_reply));
    EXPECT_EQ(Tag(m_reply), "LATE    ");
}

TEST_F(SimLink, ATrickleOfPreambleBytesCannotHoldAReception) {
    sim::Behaviour trickle;
    trickle.silent = true;
    trickle.trickle = true;
    sim::ServedPty line({}, {}, trickle);
    ASSERT_TRUE(line.ok());
    Plug(line.SlavePath());
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(m_link.ReceiveFrame(false, m_reply, 500), kLinkNoReply);
    EXPECT_LT(std::chrono::steady_clock::now() - start,
              std::chrono::milliseconds(hart::ReceptionBoundMs(500)));
}

TEST_F(SimLink, ADeviceThatVanishesLeavesAPortErrorNotASilentLine) {
    sim::Behaviour vanishing;
    vanishing.vanishAfter = 1;
    sim::ServedPty line({.fast = true}, {Device(0, "GONE", 0x000001)}, vanishing);
    ASSERT_TRUE(line.ok());
    Plug(line.SlavePath());
    ASSERT_TRUE(m_link.PollIdentity(0, 1));
    EXPECT_FALSE(m_link.SendCommand(13, m_reply));
    EXPECT_TRUE(m_link.PortFailed());
    EXPECT_TRUE(line.Vanished());
}

}  // namespace
