// tralvo-cli pv as a program, in real time, against tralvo-sim on a pty linked as a COM port.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <csignal>
#include <memory>
#include <string>
#include <vector>

#include "tests/cli/CliProgram.h"
#include "tests/serial/ScopedConfigHome.h"
#include "tests/sim/SimProcess.h"

namespace {

using ::testing::HasSubstr;

// Each test gives the simulator a COM number of its own in a settings folder of its own.
class PvCliSimTest : public ::testing::Test {
protected:
    void StartSim(unsigned com) {
        m_com = com;
        m_sim = std::make_unique<SimProcess>(
            std::vector<std::string>{"--link", "COM" + std::to_string(com)});
        ASSERT_TRUE(m_sim->WaitForOutput("\n")) << m_sim->Stderr();
    }
    void StartPv(const std::vector<std::string>& pvArgs) {
        std::vector<std::string> args{"--port", std::to_string(m_com), "pv"};
        args.insert(args.end(), pvArgs.begin(), pvArgs.end());
        m_cli = std::make_unique<SimProcess>(CliProgram(), args);
        ASSERT_TRUE(m_cli->Started());
    }

    ScopedConfigHome m_home;
    unsigned m_com = 0;
    std::unique_ptr<SimProcess> m_sim;
    std::unique_ptr<SimProcess> m_cli;
};

TEST_F(PvCliSimTest, ErrorTestOfTwoAttemptsPollsTwiceAndCompletes) {
    StartSim(231);
    StartPv({"--attempts", "2"});
    EXPECT_EQ(m_cli->Finish(0, 30000), 0) << m_cli->Stderr();
    EXPECT_THAT(
        m_cli->Stdout(),
        ::testing::MatchesRegex("HART Tag: TRALVO01\n"
                                "HART ID: 1193046\n"
                                "[-0-9]+ [:.0-9]+  Count: 1  Errors: 0  AO:   PV: Error Test\n"
                                "[-0-9]+ [:.0-9]+  Count: 2  Errors: 0  AO:   PV: Complete\n"
                                "Link: 4 exchanges, 4 answered \\(0 after a retry\\), 0 no "
                                "reply, 0 bad checksum, 0 incomplete, 0 with line errors, 0 "
                                "busy; answer [0-9]+/[0-9]+/[0-9]+ ms \\(median/95%/max\\)\n"));
}

TEST_F(PvCliSimTest, MonitorModeShowsReadingsUntilCtrlCThenEndsCleanly) {
    StartSim(232);
    StartPv({"--attempts", "0"});
    ASSERT_TRUE(m_cli->WaitForOutput("Count: 1 ", 20000)) << m_cli->Stderr();
    EXPECT_EQ(m_cli->Finish(SIGINT), 0) << m_cli->Stderr();
    EXPECT_THAT(m_cli->Stdout(),
                HasSubstr("  Count: 1  Errors: 0  AO: 12.000 mA  PV: 50.000 kPa\n"));
}

}  // namespace
