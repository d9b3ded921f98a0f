#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <sstream>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "FakeSystem.h"
#include "serial/ComPortMap.h"
#include "tests/portselect/FakePortSource.h"
#include "tests/serial/FakeConsoles.h"
#include "tests/serial/PtyPair.h"
#include "tests/sim/SimProcess.h"
#include "troubleshooter/CheckText.h"
#include "troubleshooter/PortList.h"
#include "troubleshooter/PortText.h"
#include "troubleshooter/Report.h"
#include "troubleshooter/ReportCommand.h"
#include "troubleshooter/Troubleshooter.h"

using ::testing::ContainsRegex;
using ::testing::HasSubstr;
using ::testing::Not;

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
    const std::string device = fake.AddTty("pts9");
    std::filesystem::create_directories(PortLinksFolder());
    std::filesystem::create_symlink(device, PortLinkPath(201));
    std::ostringstream out, err;
    const int code = RunReportCommand({"--report"}, 201, {}, fake.roots, CurrentUser(), out, err);
    std::filesystem::remove(PortLinkPath(201));
    EXPECT_THAT(out.str(), HasSubstr("COM201"));
    EXPECT_THAT(out.str(), HasSubstr("[PASS] Device"));
    EXPECT_EQ(code, 0) << out.str();
}

// What users met: a simulator on the port made the report fail with "kill <its PID>"
// although the port opened and the device answered.
TEST(ReportCommand, PassesForThePortOfARunningSimulator) {
    FakeSystem fake;
    fake.roots.proc = "/proc";  // the simulator is a real process
    SimProcess sim({"--link", "COM203"});
    ASSERT_TRUE(sim.WaitForOutput("COM203 -> ")) << sim.Stderr();
    std::ostringstream out, err;
    const int code = RunReportCommand({"--report", "--port", "203", "--poll"}, 0, {}, fake.roots,
                                      CurrentUser(), out, err);
    EXPECT_EQ(code, 0) << out.str();
    EXPECT_THAT(out.str(), HasSubstr("other end is held by tralvo-sim"));
    EXPECT_THAT(out.str(), HasSubstr("[PASS] HART identity poll at address 0"));
    // The same forms as everywhere else: decimal first, hex beside it.
    EXPECT_THAT(out.str(), ContainsRegex("manufacturer [0-9]+ \\(0x[0-9A-F]{2}\\), device type "
                                         "[0-9]+ \\(0x[0-9A-F]{2}\\), HART ID [0-9]+ "
                                         "\\(0x[0-9A-F]{6}\\)"));
    EXPECT_THAT(out.str(), Not(HasSubstr("kill")));
}

// On an ordinary desktop ModemManager runs but leaves the modem alone: nothing failed.
TEST(ReportCommand, ExitsZeroWhereModemManagerRunsWithoutTouchingThePort) {
    FakeSystem fake;
    const std::string device = fake.AddTty("ttyUSB0");
    fake.AddProcess("310", "ModemManager");
    std::ostringstream out, err;
    const int code = RunReportCommand({"--report", "--port", "COM33"}, 0, {}, fake.roots,
                                      CurrentUser(), out, err);
    EXPECT_EQ(code, 0) << out.str();
    EXPECT_THAT(out.str(), HasSubstr("[INFO] Services that grab serial ports: ModemManager"));
}

TEST(ReportCommand, WritesOneJsonObjectWithEveryCheck) {
    FakeSystem fake;
    std::ostringstream out, err;
    const int code = RunReportCommand({"--report", "--json", "--port", "65"}, 0, {}, fake.roots,
                                      CurrentUser(), out, err);
    EXPECT_EQ(code, 1);
    QJsonParseError error{};
    const auto json = QJsonDocument::fromJson(QByteArray::fromStdString(out.str()), &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError) << out.str();
    const QJsonObject report = json.object();
    EXPECT_EQ(report["port"].toString(), "COM65");
    EXPECT_EQ(report["outcome"].toString(), "fail");
    const QJsonArray checks = report["checks"].toArray();
    ASSERT_EQ(checks.size(), 5);
    const QJsonObject device = checks[0].toObject();
    EXPECT_EQ(device["title"].toString(), "Device");
    EXPECT_EQ(device["result"].toString(), "fail");
    EXPECT_TRUE(device["detail"].toString().contains("/dev/ttyACM0"));
    EXPECT_TRUE(device["suggestion"].toString().contains("Plug the modem in"));
    EXPECT_EQ(checks[1].toObject()["result"].toString(), "not_applicable");
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
             {"--port", "0"}, {"--port", "256"}, {"--port", "COM3x"}, {"--port"}}) {
        SimProcess troubleshooter(program, args);
        EXPECT_EQ(troubleshooter.Finish(), 2) << args.back();
        EXPECT_THAT(troubleshooter.Stderr(), HasSubstr("usage: com-troubleshooter [--port N]"));
    }
}

TEST(WindowArguments, TakeThePortAsTheUserWritesIt) {
    std::ostringstream err;
    unsigned port = 0;
    EXPECT_EQ(ParseWindowArguments({"--port", "COM33"}, &port, err), 0);
    EXPECT_EQ(port, 33u);
}

TEST(PortText, ReadsCom33Com33LowerAndTheBareNumberAlike) {
    EXPECT_EQ(ParseTypedPort("COM33"), 33u);
    EXPECT_EQ(ParseTypedPort("com33"), 33u);
    EXPECT_EQ(ParseTypedPort(" 33 "), 33u);
    EXPECT_EQ(ParseTypedPort("COM255"), 255u);
}

TEST(PortText, RefusesEverythingElse) {
    for (const char* text : {"", "COM", "COM0", "0", "256", "COM 33", "COM3x", "-3", "ttyUSB0",
                             "COM99999999999999999999"}) {
        EXPECT_EQ(ParseTypedPort(text), std::nullopt) << text;
    }
}

TEST(CheckText, PutsEachFactInOnceEvenWhenItLooksLikeAPlaceholder) {
    EXPECT_EQ(CheckText("%1 is %2.", {"/tmp/%2", "gone"}), "/tmp/%2 is gone.");
}

// Unset for the duration of a test, as on a machine without a display.
class ScopedUnset {
public:
    explicit ScopedUnset(const char* name) : m_name(name) {
        if (const char* value = std::getenv(name)) m_old = value;
        unsetenv(name);
    }
    ~ScopedUnset() {
        if (m_old) setenv(m_name, m_old->c_str(), 1);
    }

private:
    const char* m_name;
    std::optional<std::string> m_old;
};

// A QApplication without a display ends the program before it could answer; the window
// asked for where there is none is the usage and EX_USAGE, not an abort.
TEST(ProgramInfo, VersionAndHelpAnswerWithoutADisplayAndTheWindowIsAUsageError) {
    const ScopedUnset platform("QT_QPA_PLATFORM"), display("DISPLAY"), wayland("WAYLAND_DISPLAY");
    SimProcess version(TRALVO_TROUBLESHOOTER_PROGRAM, {"--version"});
    EXPECT_EQ(version.Finish(), 0) << version.Stderr();
    EXPECT_EQ(version.Stdout(), std::string("com-troubleshooter ") + TRALVO_PROJECT_VERSION + "\n");
    SimProcess help(TRALVO_TROUBLESHOOTER_PROGRAM, {"--help"});
    EXPECT_EQ(help.Finish(), 0) << help.Stderr();
    EXPECT_THAT(help.Stdout(), HasSubstr("usage: com-troubleshooter [--port N]"));
    EXPECT_THAT(help.Stdout(), HasSubstr("--json"));
    SimProcess window(TRALVO_TROUBLESHOOTER_PROGRAM, {"--port", "3"});
    EXPECT_EQ(window.Finish(0, 10000), 64) << window.Stderr();
    EXPECT_THAT(window.Stderr(), HasSubstr("usage: com-troubleshooter [--port N] [--report"));
}

// Output to a full disk: said on stderr and EX_IOERR, never a silent success.
TEST(ProgramInfo, OutputThatCannotBeWrittenEndsWithExitStatus74) {
    const ScopedUnset platform("QT_QPA_PLATFORM"), display("DISPLAY"), wayland("WAYLAND_DISPLAY");
    const std::string troubleshooter = TRALVO_TROUBLESHOOTER_PROGRAM;
    const std::string window = TRALVO_WINDOW_PROGRAM;
    for (const std::string& command :
         {troubleshooter + " --version", troubleshooter + " --help",
          troubleshooter + " --report --port 65", troubleshooter + " --report --json --port 65",
          window + " --version", window + " --help"}) {
        SimProcess shell("/bin/sh", {"-c", command + " >/dev/full"});
        EXPECT_EQ(shell.Finish(0, 10000), 74) << command << '\n' << shell.Stderr();
        EXPECT_THAT(shell.Stderr(), HasSubstr("the output could not be written")) << command;
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
