#include "cli/PvCommand.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "PvFixture.h"
#include "cli/ExitCodes.h"

namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

class PvCommandTest : public pvtest::LineFixture {
protected:
    // Runs `pv <args>`; stops a run that would go on after `stopAfterTicks` printed ticks.
    int Run(const std::vector<std::string>& args, int stopAfterTicks = 1000) {
        return RunPvCommand(m_link, pvtest::kComPort, args, m_out, m_err,
                            [&] { return TickLines().size() >= size_t(stopAfterTicks); });
    }
    std::vector<std::string> TickLines() const {
        std::vector<std::string> lines;
        std::istringstream in(m_out.str());
        for (std::string line; std::getline(in, line);)
            if (line.rfind("Count: ", 0) == 0) lines.push_back(line);
        return lines;
    }

    std::ostringstream m_out;
    std::ostringstream m_err;
};

TEST_F(PvCommandTest, ErrorTestPrintsOneLinePerTickAndEndsWithComplete) {
    EXPECT_EQ(Run({"--attempts", "3"}), kExitPassed);
    EXPECT_THAT(TickLines(), ElementsAre("Count: 1  Errors: 0  AO:   PV: Error Test",
                                         "Count: 2  Errors: 0  AO:   PV: Error Test",
                                         "Count: 3  Errors: 0  AO:   PV: Complete"));
    EXPECT_THAT(m_out.str(), HasSubstr("HART ID: 1193046"));
    EXPECT_FALSE(m_serial.IsOpen());
}

TEST_F(PvCommandTest, ErrorTestRunsTenTicksByDefault) {
    EXPECT_EQ(Run({}), kExitPassed);
    ASSERT_EQ(TickLines().size(), 10u);
    EXPECT_EQ(TickLines().back(), "Count: 10  Errors: 0  AO:   PV: Complete");
}

TEST_F(PvCommandTest, TicksComeTwoSecondsApartOnTheLinksClock) {
    std::vector<uint64_t> pollTimes;
    m_serial.SetResponder([&](const pvtest::Bytes& request) {
        if (pvtest::CommandOf(request) == 0) pollTimes.push_back(m_clock.NowMs());
        return m_bus->Hear(request);
    });
    ASSERT_EQ(Run({"--attempts", "3"}), kExitPassed);
    // The poll test's own poll, then one per tick.
    ASSERT_EQ(pollTimes.size(), 4u);
    EXPECT_NEAR(double(pollTimes[2] - pollTimes[1]), 2000.0, 50.0);
    EXPECT_NEAR(double(pollTimes[3] - pollTimes[2]), 2000.0, 50.0);
}

TEST_F(PvCommandTest, NoDeviceAtAddressZeroSaysMustPollFirstAndFails) {
    m_bSilent = true;
    EXPECT_EQ(Run({}), kExitFailed);
    EXPECT_THAT(m_err.str(), HasSubstr("Must Poll first"));
    EXPECT_THAT(TickLines(), IsEmpty());
    EXPECT_FALSE(m_serial.IsOpen());
}

TEST_F(PvCommandTest, DeviceWithIdentifierZeroSaysMustPollFirst) {
    sim::DeviceConfig device = sim::DefaultDevice(0);
    device.deviceId = 0;
    SetDevices({device});
    EXPECT_EQ(Run({}), kExitFailed);
    EXPECT_THAT(m_err.str(), HasSubstr("Must Poll first"));
}

TEST_F(PvCommandTest, PortThatDoesNotOpenIsAPortError) {
    m_serial.openStatus = kSerialFileNotFound;
    EXPECT_EQ(Run({}), kExitPortError);
    EXPECT_THAT(m_err.str(), HasSubstr("Error opening COM port"));
    EXPECT_THAT(m_err.str(), HasSubstr("\nRun: com-troubleshooter --report --port 3\n"));
}

TEST_F(PvCommandTest, MonitorModeShowsReadingsUntilStoppedThenClosesThePort) {
    EXPECT_EQ(Run({"--attempts", "0"}, 3), kExitPassed);
    const std::vector<std::string> lines = TickLines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "Count: 1  Errors: 0  AO: 12.000 mA  PV: 50.000");
    EXPECT_THAT(lines[2], HasSubstr("Count: 3  Errors: 0  AO: "));
    EXPECT_THAT(m_err.str(), IsEmpty());
    EXPECT_FALSE(m_serial.IsOpen());
}

TEST_F(PvCommandTest, CtrlCThatCutsATicksExchangeShortEndsTheRunWithoutAnError) {
    bool interrupted = false;
    m_serial.SetResponder([&](const pvtest::Bytes& request) {
        if (pvtest::CommandOf(request) != 3) return m_bus->Hear(request);
        interrupted = true;  // as a read cut short by the signal: no answer
        return pvtest::Bytes{};
    });
    const int status = RunPvCommand(m_link, pvtest::kComPort, {"--attempts", "0"}, m_out, m_err,
                                    [&] { return interrupted; });
    EXPECT_EQ(status, kExitPassed);
    EXPECT_THAT(m_err.str(), IsEmpty());
    EXPECT_THAT(TickLines(), IsEmpty());
    EXPECT_FALSE(m_serial.IsOpen());
}

TEST_F(PvCommandTest, MonitorModeWithARevisionFourDeviceEndsWithHartError) {
    SetDevices({DeviceWithRevision(4)});
    EXPECT_EQ(Run({"--attempts", "0"}), kExitFailed);
    EXPECT_EQ(TickLines().size(), 1u);
    EXPECT_THAT(m_err.str(), HasSubstr("HART Error"));
    EXPECT_FALSE(m_serial.IsOpen());
}

TEST_F(PvCommandTest, ArgumentsItCannotUseAreAUsageError) {
    EXPECT_EQ(Run({"--attempts", "many"}), kExitUsage);
    EXPECT_EQ(Run({"--attempts"}), kExitUsage);
    EXPECT_EQ(Run({"--count", "3"}), kExitUsage);
    EXPECT_EQ(m_serial.Count(FakeSerial::Kind::Open), 0);
}

}  // namespace
