// tralvo-cli pv as a program, in real time, against tralvo-sim on a pty linked as a COM port.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>

#include "tests/sim/SimProcess.h"

namespace {

using ::testing::HasSubstr;

constexpr char kComPort[] = "210";

struct CliRun {
    int exitStatus = -1;
    std::string output;  // standard output and error together
};

CliRun RunCli(const std::string& shellPrefix, const std::string& args) {
    CliRun run;
    const std::string command = shellPrefix + " '" TRALVO_CLI_PROGRAM "' " + args + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return run;
    char buffer[512];
    while (size_t n = fread(buffer, 1, sizeof buffer, pipe)) run.output.append(buffer, n);
    const int status = pclose(pipe);
    run.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

class PvCliSimTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_sim.Started());
        ASSERT_TRUE(m_sim.WaitForOutput("\n", 5000)) << m_sim.Stderr();
    }
    SimProcess m_sim{{"--link", std::string("COM") + kComPort}};
};

TEST_F(PvCliSimTest, ErrorTestOfTwoAttemptsPollsTwiceAndCompletes) {
    const CliRun run = RunCli("", std::string("--port ") + kComPort + " pv --attempts 2");
    EXPECT_EQ(run.exitStatus, 0) << run.output;
    EXPECT_THAT(run.output, HasSubstr("HART ID: 1193046\n"));
    EXPECT_THAT(run.output, HasSubstr("Count: 1  Errors: 0  AO:   PV: Error Test\n"));
    EXPECT_THAT(run.output, HasSubstr("Count: 2  Errors: 0  AO:   PV: Complete\n"));
}

TEST_F(PvCliSimTest, MonitorModeShowsReadingsAndEndsCleanlyAtCtrlC) {
    // The first tick comes about 5 s in: the poll test, the open, then the 2 s period.
    const CliRun run = RunCli("timeout --preserve-status -s INT 8",
                              std::string("--port ") + kComPort + " pv --attempts 0");
    EXPECT_EQ(run.exitStatus, 0) << run.output;
    EXPECT_THAT(run.output, HasSubstr("Count: 1  Errors: 0  AO: 12.000 mA  PV: 50.000\n"));
}

}  // namespace
