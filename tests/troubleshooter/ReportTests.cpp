#include <filesystem>
#include <sstream>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "FakeSystem.h"
#include "serial/ComPortMap.h"
#include "tests/portselect/FakePortSource.h"
#include "tests/serial/FakeConsoles.h"
#include "tests/serial/PtyPair.h"
#include "tests/sim/SimProcess.h"
#include "troubleshooter/PortList.h"
#include "troubleshooter/Report.h"
#include "troubleshooter/ReportCommand.h"
#include "troubleshooter/Troubleshooter.h"

using ::testing::HasSubstr;

namespace {

TEST(Report, ShowsEachCheckWithItsOutcomeAndTheFixOnlyOnFailure) {
    const CheckResults results = {
        {"Device", CheckOutcome::Pass, "COM33 is /dev/ttyUSB0, which exists.", "unused"},
        {"Access", CheckOutcome::Fail, "User bob is not in group dialout.", "sudo usermod"},
        {"Open", CheckOutcome::NotApplicable, "There is no device to open.", {}},
    };
    std::ostringstream out;
    WriteReport(out, "COM33", results);
    EXPECT_EQ(out.str(),
              "Tralvo COM troubleshooter: COM33\n\n"
              "[PASS] Device: COM33 is /dev/ttyUSB0, which exists.\n"
              "[FAIL] Access: User bob is not in group dialout.\n"
              "       Fix: sudo usermod\n"
              "[N/A] Open: There is no device to open.\n\n"
              "1 check failed.\n");
    EXPECT_EQ(ReportExitCode(results), 1);
}

TEST(Report, ExitsZeroWhenNothingFailed) {
    const CheckResults results = {{"Device", CheckOutcome::Pass, "ok", {}},
                                  {"Poll", CheckOutcome::NotApplicable, "skipped", {}}};
    EXPECT_EQ(ReportExitCode(results), 0);
    std::ostringstream out;
    WriteReport(out, "COM1", results);
    EXPECT_THAT(out.str(), HasSubstr("All checks passed."));
}

TEST(RunChecks, MarksTheDeviceChecksNotApplicableWithoutADevice) {
    FakeSystem fake;
    const auto results = RunChecks({65, false, 1}, fake.roots, CurrentUser());
    ASSERT_EQ(results.size(), 5u);
    EXPECT_EQ(results[0].outcome, CheckOutcome::Fail);
    EXPECT_EQ(results[1].outcome, CheckOutcome::NotApplicable);
    EXPECT_EQ(results[2].outcome, CheckOutcome::NotApplicable);
    EXPECT_EQ(results[4].outcome, CheckOutcome::NotApplicable);
}

TEST(RunChecks, LeavesTheKernelConsoleUnopened) {
    FakeSystem fake;
    fake.AddDevice("ttyS0");
    fake.Write("sys/class/tty/console/active", "ttyS0\n");
    const auto results = RunChecks({1, false, 1}, fake.roots, CurrentUser());
    EXPECT_THAT(results[4].explanation, HasSubstr("kernel console"));
    EXPECT_EQ(results[4].outcome, CheckOutcome::Fail);
}

TEST(RunChecks, LeavesAConsoleBehindTwoLinksUnopened) {
    FakeSystem fake;
    PtyPair console;
    ASSERT_TRUE(console.ok());
    fake.Write("proc/consoles", "ttyS0 -W- (EC  p a) " + FakeConsoles::NumberOf(console.path()));
    const std::string serial0 = fake.roots.dev + "/serial0";
    std::filesystem::create_symlink(console.slavePath(), serial0);
    std::filesystem::create_directories(PortLinksFolder());
    std::filesystem::create_symlink(serial0, PortLinkPath(202));
    const auto results = RunChecks({202, true, 1}, fake.roots, CurrentUser());
    std::filesystem::remove(PortLinkPath(202));
    ASSERT_EQ(results.size(), 6u);
    EXPECT_THAT(results[2].explanation, HasSubstr("kernel console"));
    EXPECT_THAT(results[4].explanation, HasSubstr("kernel console"));
    EXPECT_EQ(results[5].outcome, CheckOutcome::NotApplicable);
}

TEST(ReportCommand, ChecksTheNamedPortAndExitsOneOnFailure) {
    FakeSystem fake;
    std::ostringstream out, err;
    const int code =
        RunReportCommand({"--report", "--port", "65"}, 3, {}, fake.roots, CurrentUser(), out, err);
    EXPECT_EQ(code, 1);
    EXPECT_THAT(out.str(), HasSubstr("Tralvo COM troubleshooter: COM65"));
    EXPECT_THAT(out.str(), HasSubstr("[FAIL] Device"));
}

TEST(ReportCommand, ResolvesTheStoredPortThroughItsLink) {
    FakeSystem fake;
    const std::string device = fake.AddDevice("pts9");
    std::filesystem::create_directories(PortLinksFolder());
    std::filesystem::create_symlink(device, PortLinkPath(201));
    std::ostringstream out, err;
    const int code = RunReportCommand({"--report"}, 201, {}, fake.roots, CurrentUser(), out, err);
    std::filesystem::remove(PortLinkPath(201));
    // A plain file opens but refuses terminal settings: the open check fails, the rest pass.
    EXPECT_THAT(out.str(), HasSubstr("COM201"));
    EXPECT_THAT(out.str(), HasSubstr("[PASS] Device"));
    EXPECT_EQ(code, 1);
}

TEST(ReportCommand, TakesTheFirstListedPortWhenNoneIsStored) {
    FakeSystem fake;
    std::ostringstream out, err;
    RunReportCommand({"--report"}, 99, {{40, "COM40", "/dev/ttyUSB7"}}, fake.roots, CurrentUser(),
                     out, err);
    EXPECT_THAT(out.str(), HasSubstr("troubleshooter: COM40"));
    EXPECT_THAT(out.str(), HasSubstr("Ports found: COM40"));
}

TEST(ReportCommand, RefusesABadPortNumber) {
    FakeSystem fake;
    std::ostringstream out, err;
    EXPECT_EQ(
        RunReportCommand({"--report", "--port", "x"}, 3, {}, fake.roots, CurrentUser(), out, err),
        2);
    EXPECT_THAT(err.str(), HasSubstr("usage"));
}

TEST(WindowArguments, NameThePortTheWindowStartsWithAmongTheToolkitsOwn) {
    std::ostringstream err;
    unsigned port = 99;
    EXPECT_EQ(ParseWindowArguments({}, &port, err), 0);
    EXPECT_EQ(port, 0u);
    EXPECT_EQ(ParseWindowArguments({"-platform", "offscreen", "--port", "12"}, &port, err), 0);
    EXPECT_EQ(port, 12u);
    EXPECT_EQ(err.str(), "");
}

// Tralvo starts the window as `com-troubleshooter --port N`; a bad N ends it with the usage
// before any window opens (one that opened would keep the program running).
TEST(WindowArguments, ABadPortIsAUsageErrorOfTheProgram) {
    const std::string program = TRALVO_TROUBLESHOOTER_PROGRAM;
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"--port", "0"}, {"--port", "256"}, {"--port", "COM3"}, {"--port"}}) {
        SimProcess troubleshooter(program, args);
        EXPECT_EQ(troubleshooter.Finish(), 2) << args.back();
        EXPECT_THAT(troubleshooter.Stderr(), HasSubstr("usage: com-troubleshooter [--port N]"));
    }
}

TEST(PortList, TakesTheChoosersEntriesInItsOrder) {
    const FakePortSource source(
        {"Virtual Serial Port (COM200)", "Communications Port (COM3)", "USB Serial Port (COM10)"});
    const auto ports = ListPorts(source);
    ASSERT_EQ(ports.size(), 3u);
    EXPECT_EQ(ports[0].comNumber, 3u);
    EXPECT_EQ(ports[0].device, "/dev/ttyS2");
    EXPECT_EQ(ports[1].text, "COM10");
    EXPECT_EQ(ports[2].text, "COM200");
    EXPECT_EQ(ports[2].comNumber, 200u);
}

}  // namespace

namespace {

TEST(RunChecks, SkipsTheRequestedPollWhenThePortDoesNotOpen) {
    FakeSystem fake;
    const auto results = RunChecks({65, true, 1}, fake.roots, CurrentUser());
    ASSERT_EQ(results.size(), 6u);
    EXPECT_EQ(results[5].title, "HART identity poll at address 0");
    EXPECT_EQ(results[5].outcome, CheckOutcome::NotApplicable);
}

}  // namespace
