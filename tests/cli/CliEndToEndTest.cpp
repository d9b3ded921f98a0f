// tralvo-cli as a program against tralvo-sim on its COM link, in real time.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "settings/Profile.h"
#include "tests/cli/CliProgram.h"
#include "tests/serial/PtyPair.h"
#include "tests/serial/ScopedConfigHome.h"
#include "tests/sim/SimProcess.h"

namespace {

using ::testing::HasSubstr;

// Standard output as one JSON object on one line.
QJsonObject OnlyObject(const std::string& out) {
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 1) << out;
    const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(out));
    EXPECT_TRUE(document.isObject()) << out;
    return document.object();
}

size_t Occurrences(const std::string& text, const std::string& piece) {
    size_t n = 0;
    for (size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1)) ++n;
    return n;
}

// Each test plugs its own simulator in as a COM number of its own, so tests may run side
// by side, with a settings folder of its own.
class CliAgainstSim : public ::testing::Test {
protected:
    void StartSim(unsigned com, std::vector<std::string> simArgs) {
        m_com = com;
        simArgs.insert(simArgs.begin(), {"--link", "COM" + std::to_string(com)});
        m_sim = std::make_unique<SimProcess>(simArgs);
        ASSERT_TRUE(m_sim->WaitForOutput("\n")) << m_sim->Stderr();
    }
    // Runs tralvo-cli on the simulator's port to its end; the exit status.
    int Cli(std::vector<std::string> args, int timeoutMs = 30000) {
        args.insert(args.begin(), {"--port", std::to_string(m_com)});
        return CliRaw(args, timeoutMs);
    }
    int CliRaw(const std::vector<std::string>& args, int timeoutMs = 30000) {
        m_cli = std::make_unique<SimProcess>(CliProgram(), args);
        return m_cli->Finish(0, timeoutMs);
    }
    const std::string& Out() const { return m_cli->Stdout(); }
    const std::string& Err() const { return m_cli->Stderr(); }

    ScopedConfigHome m_home;
    unsigned m_com = 0;
    std::unique_ptr<SimProcess> m_sim;
    std::unique_ptr<SimProcess> m_cli;
};

TEST_F(CliAgainstSim, SingleDevicePassesWithTheTagAndIdItWasGivenAndTracesTheFrames) {
    StartSim(221, {"--device", "addr=0,tag=PT101,id=0x0A0B0C,rev=7"});
    EXPECT_EQ(Cli({"--trace", "poll", "--multidrop", "no"}), 0) << Err();
    EXPECT_EQ(Out(),
              "Status: Test Pass, single device\n"
              "HART Tag: PT101   \n"
              "HART ID: 658188\n"
              "HART Addr: 0\n");
    EXPECT_THAT(Err(), HasSubstr(" ms  TX  FF\u00D7"));
    EXPECT_THAT(Err(), HasSubstr(" ms  RX  FF\u00D75 06 "));
    EXPECT_THAT(Err(), HasSubstr(" ms  RX  FF\u00D75 86 "));  // the tag by command 13
    EXPECT_THAT(Err(), HasSubstr("result 0 (ok)"));
}

TEST_F(CliAgainstSim, PollJsonIsTheOnlyOutputWhileTheTraceGoesToStandardError) {
    StartSim(233, {});
    EXPECT_EQ(Cli({"--trace", "poll", "--json", "--multidrop", "no"}), 0) << Err();
    const QJsonObject result = OnlyObject(Out());
    EXPECT_EQ(result["tag"].toString(), "TRALVO01");
    ASSERT_TRUE(result["hart_id"].isDouble());
    EXPECT_EQ(result["hart_id"].toInteger(), 0x123456);
    EXPECT_EQ(result["port"].toString(), "COM233");
    EXPECT_EQ(result["outcome"].toString(), "pass_single");
    EXPECT_TRUE(result.contains("line_diagnosis") && result["line_diagnosis"].isNull());
    EXPECT_THAT(Err(), HasSubstr(" ms  TX  FF\u00D7"));
}

TEST_F(CliAgainstSim, RevisionFourDeviceHasItsTagReadByCommandFour) {
    StartSim(222, {"--device", "addr=0,tag=OLD4,id=0x000102,rev=4"});
    EXPECT_EQ(Cli({"--trace", "poll", "--multidrop", "no"}), 0) << Err();
    EXPECT_THAT(Out(), HasSubstr("HART Tag: OLD4    \nHART ID: 258\n"));
    // Command 4 with data byte 1 by short frame to address 0.
    EXPECT_THAT(Err(), HasSubstr("TX  FF\u00D75 02 00 04 01 01"));
}

TEST_F(CliAgainstSim, MultiDropLineAnsweredYesPassesWithTheList) {
    // A silent address costs the link's full reply wait, so the line is nearly full.
    std::vector<std::string> devices;
    for (int address = 1; address <= 15; ++address) {
        if (address == 7) continue;
        devices.insert(devices.end(), {"--device", "addr=" + std::to_string(address)});
    }
    StartSim(223, devices);
    EXPECT_EQ(Cli({"poll", "--multidrop", "yes"}), 0) << Err();
    EXPECT_EQ(Out(),
              "Status: Test Pass, multi-drop network\n"
              "HART Tag: Multi-Drop\n"
              "HART ID: 0\n"
              "HART Addr: 1, 2, 3, 4, 5, 6, 8, 9, 10, 11, 12, 13, 14, 15\n");
}

TEST_F(CliAgainstSim, SilentLineAnsweredNoFailsAndSaysOnlyTheEchoCameBack) {
    StartSim(224, {"--silent", "--echo"});
    EXPECT_EQ(Cli({"poll", "--multidrop", "no"}), 1) << Err();
    EXPECT_EQ(Out(),
              "Status: Test Failed\n"
              "HART Tag:  \n"
              "HART ID: 0\n"
              "HART Addr:  \n"
              "Line: Only the echo of the requests came back: the modem sends, but no device "
              "answers. Check the device's polling address and the loop wiring.\n");
}

TEST_F(CliAgainstSim, StoredPortIsUsedWithoutWritingTheSettings) {
    StartSim(225, {});
    CProfile settings;
    settings.m_pszRegistryKey = "Brenlow";
    ASSERT_TRUE(
        settings.WriteProfileString("Modem Server Preferences", "SearchSerialPort", "COM225"));
    const auto store = std::filesystem::path(m_home.path()) / "Brenlow" / "Tralvo.conf";
    const auto before = std::filesystem::last_write_time(store);
    EXPECT_EQ(CliRaw({"poll", "--multidrop", "no"}), 0) << Err();
    EXPECT_THAT(Out(), HasSubstr("HART Tag: TRALVO01\n"));
    EXPECT_EQ(std::filesystem::last_write_time(store), before);
}

TEST_F(CliAgainstSim, ContinuousSendMakesTheCountedPollsTheSimulatorHears) {
    StartSim(226, {"--trace"});
    EXPECT_EQ(Cli({"continuous", "--count", "3"}), 0) << Err();
    EXPECT_THAT(Out(), ::testing::StartsWith("Continous send...\npoll 1: answered\npoll 2: "
                                             "answered\npoll 3: answered\nLink: 3 exchanges, 3 "
                                             "answered (0 after a retry), 0 no reply, "));
    EXPECT_EQ(Occurrences(Out(), "\n"), 5u);
    EXPECT_EQ(m_sim->Finish(SIGINT), 0);
    EXPECT_EQ(Occurrences(m_sim->Stdout(),
                          "<- FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF "
                          "FF FF FF 02 00 00 00 02"),
              3u);
}

TEST_F(CliAgainstSim, ContinuousSendEndsCleanlyOnCtrlC) {
    StartSim(227, {});
    m_cli = std::make_unique<SimProcess>(CliProgram(),
                                         std::vector<std::string>{"--port", "227", "continuous"});
    ASSERT_TRUE(m_cli->WaitForOutput("poll 1: answered\n", 10000)) << m_cli->Stderr();
    EXPECT_EQ(m_cli->Finish(SIGINT, 5000), 0);
    EXPECT_THAT(Out(),
                ::testing::MatchesRegex("(.|\n)*answered\nLink: [0-9]+ exchanges?, (.|\n)*"));
}

// What the simulator did with each request it heard, in order, read from its trace.
enum class SimDid { Answered, Dropped, Corrupted };
std::vector<SimDid> RequestsHeard(const std::string& trace) {
    std::vector<SimDid> did;
    std::istringstream lines(trace);
    for (std::string line; std::getline(lines, line);) {
        if (line.find(" <- ") != std::string::npos)
            did.push_back(line.find("(dropped)") != std::string::npos ? SimDid::Dropped
                                                                      : SimDid::Answered);
        else if (line.find(" -> ") != std::string::npos &&
                 line.find("(bad checksum)") != std::string::npos && !did.empty())
            did.back() = SimDid::Corrupted;
    }
    return did;
}

TEST_F(CliAgainstSim, ContinuousJsonEndsWithLinkFiguresThatMatchWhatTheSimulatorDid) {
    StartSim(235, {"--drop-every", "4", "--bad-checksum", "7", "--trace"});
    EXPECT_EQ(Cli({"--json", "continuous", "--count", "7"}), 0) << Err();
    EXPECT_EQ(m_sim->Finish(SIGINT), 0);
    const std::vector<SimDid> did = RequestsHeard(m_sim->Stdout());
    // The 4th and 8th requests dropped; the 9th is the 7th answer, corrupted, and ends the
    // 7th poll unanswered after its two attempts. The figures must say just that.
    using enum SimDid;
    ASSERT_THAT(did, ::testing::ElementsAre(Answered, Answered, Answered, Dropped, Answered,
                                            Answered, Answered, Dropped, Corrupted))
        << m_sim->Stdout();
    const std::string last = Out().substr(Out().rfind('\n', Out().size() - 2) + 1);
    const QJsonObject summary = OnlyObject(last);
    EXPECT_TRUE(summary.value(QStringLiteral("summary")).toBool());
    const auto figure = [&](const char* key) { return summary.value(key).toInteger(-1); };
    // A poll tries twice: the answer to the 5th request was a retry.
    const std::pair<const char*, qint64> expected[] = {
        {"exchanges", 9},    {"answered", 6},   {"retried", 1},     {"no_reply", 2},
        {"bad_checksum", 1}, {"incomplete", 0}, {"line_errors", 0}, {"busy", 0}};
    for (const auto& [key, value] : expected) EXPECT_EQ(figure(key), value) << key;
    // Two receptions brought nothing, one a bad checksum: the line was mostly silent.
    EXPECT_EQ(summary.value(QStringLiteral("line_diagnosis")).toString(), "silent");
    // The simulator answers one turnaround (20 ms) after the request's end.
    EXPECT_GE(figure("answer_ms_median"), 15);
    EXPECT_GE(figure("answer_ms_p95"), figure("answer_ms_median"));
    EXPECT_GE(figure("answer_ms_max"), figure("answer_ms_p95"));
    EXPECT_LT(figure("answer_ms_max"), 500);
}

TEST_F(CliAgainstSim, ContinuousSendEndsWithAPortErrorWhenTheDeviceVanishes) {
    StartSim(228, {"--vanish-after", "3"});
    EXPECT_EQ(Cli({"continuous"}, 15000), 2) << Err();
    EXPECT_THAT(Out(), HasSubstr("poll 3: answered\n"));
    EXPECT_LE(Occurrences(Out(), "poll "), 4u) << "a vanished port must not be polled on";
    EXPECT_THAT(Out(), HasSubstr("COM Port Error\n"));
    EXPECT_THAT(Err(), HasSubstr("The COM port stopped working"));
}

TEST_F(CliAgainstSim, ADeviceThatVanishesBeforeTheTagReadIsAPortErrorNotAPass) {
    StartSim(229, {"--vanish-after", "1"});
    EXPECT_EQ(Cli({"poll", "--multidrop", "no"}, 15000), 2) << Err();
    EXPECT_THAT(Out(), HasSubstr("Status: COM Port Error\n"));
    EXPECT_THAT(Out(), HasSubstr("HART ID: 0\n"));
}

TEST_F(CliAgainstSim, CtrlCCutsAReceptionShortAndFreesThePort) {
    StartSim(230, {"--silent"});
    m_cli = std::make_unique<SimProcess>(
        CliProgram(),
        std::vector<std::string>{"--port", "230", "--trace", "poll", "--multidrop", "no"});
    // The identity poll has gone out; its reception waits 1.5 s on the silent line.
    ASSERT_TRUE(m_cli->WaitForError(" ms  TX  FF", 10000)) << m_cli->Stderr();
    const auto signalled = std::chrono::steady_clock::now();
    EXPECT_EQ(m_cli->Finish(SIGINT, 5000), 130);
    EXPECT_LT(std::chrono::steady_clock::now() - signalled, std::chrono::milliseconds(1000))
        << "the reception's wait must end with the signal, not run out";
    EXPECT_THAT(Err(), HasSubstr("interrupted"));
    EXPECT_EQ(Cli({"poll", "--multidrop", "no"}), 1) << "the port is free again: " << Err();
}

// A silent pty plugged in as a COM port, its line set to 9600 8N1 beforehand: the settings
// tralvo-cli must give back when it closes the port, however its run ends.
class LineAsItWas : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_line.ok());
        termios settings = m_line.LineSettings();
        cfmakeraw(&settings);
        cfsetspeed(&settings, B9600);
        ASSERT_EQ(tcsetattr(m_line.SlaveFd(), TCSANOW, &settings), 0);
    }
    void TearDown() override {
        const termios after = m_line.LineSettings();
        EXPECT_EQ(cfgetospeed(&after), B9600);
        EXPECT_EQ(after.c_cflag & (CSIZE | PARENB | PARODD | CSTOPB), tcflag_t(CS8));
    }
    std::string Plug(unsigned com) {
        EXPECT_TRUE(m_home.Link(m_home.path() + "/Brenlow/Tralvo/ports/COM" + std::to_string(com),
                                m_line.slavePath()));
        return std::to_string(com);
    }

    ScopedConfigHome m_home;
    PtyPair m_line;
};

TEST_F(LineAsItWas, HangupEndsThePollWithItsResult) {
    SimProcess cli(CliProgram(), {"--json", "--port", Plug(236), "poll", "--multidrop", "no"});
    // The identity poll is on the line: the port is open at 1200 8O1.
    ASSERT_FALSE(m_line.Receive(1, 10000).empty()) << "no request";
    EXPECT_EQ(cli.Finish(SIGHUP), 128 + SIGHUP);
    EXPECT_EQ(OnlyObject(cli.Stdout())["outcome"].toString(), "cancelled");
}

TEST_F(LineAsItWas, AReaderThatGoesAwayEndsTheRunInsteadOfKillingIt) {
    // `tralvo-cli continuous | head -1`, with tralvo-cli's own exit status: the second line
    // goes to a closed pipe.
    SimProcess cli("/bin/bash", {"-c", R"("$0" "$@" | head -1; exit "${PIPESTATUS[0]}")",
                                 CliProgram(), "--port", Plug(237), "continuous"});
    EXPECT_EQ(cli.Finish(0, 30000), 128 + SIGPIPE) << cli.Stderr();
    EXPECT_EQ(cli.Stdout(), "Continous send...\n");
}

TEST(CliProgram, PortZeroExitsTwoAndNoStoredPortWritesNothing) {
    ScopedConfigHome home;
    SimProcess cli(CliProgram(), {"--port", "0", "poll", "--multidrop", "no"});
    EXPECT_EQ(cli.Finish(), 2);
    EXPECT_THAT(cli.Stderr(), HasSubstr("POLL: Error opening COM port"));
    EXPECT_THAT(cli.Stdout(), HasSubstr("Status: COM Port Error\n"));
    // Without a stored port the window would write "COM99"; the CLI only reads.
    SimProcess unset(CliProgram(), {"poll", "--multidrop", "no"});
    EXPECT_EQ(unset.Finish(), 2);
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(home.path()) / "Brenlow"));
}

TEST(CliProgram, PollJsonForAPortThatDoesNotOpenIsOneObjectAndExitsTwo) {
    ScopedConfigHome home;
    SimProcess cli(CliProgram(), {"--json", "--port", "COM234", "poll", "--multidrop", "no"});
    EXPECT_EQ(cli.Finish(), 2);
    const QJsonObject result = OnlyObject(cli.Stdout());
    EXPECT_EQ(result["outcome"].toString(), "port_error");
    EXPECT_EQ(result["status"].toString(), "COM Port Error");
    EXPECT_EQ(result["port"].toString(), "COM234");
    EXPECT_TRUE(result["hart_id"].isNull());
    EXPECT_THAT(result["error"].toString().toStdString(), HasSubstr("Error opening COM port\n"));
    EXPECT_THAT(cli.Stderr(), HasSubstr("Run: com-troubleshooter --report --port 234"));
}

TEST(CliProgram, UsageErrorExits64) {
    SimProcess cli(CliProgram(), {"poll", "--multidrop", "perhaps"});
    EXPECT_EQ(cli.Finish(), 64);
    EXPECT_THAT(cli.Stderr(), HasSubstr("--multidrop"));
}

}  // namespace

// --json is the program's option wherever it stands, for ports as for the line commands.
TEST_F(CliAgainstSim, PortsJsonListsTheSimulatorsPortWhereverTheOptionStands) {
    StartSim(213, {});
    for (const std::vector<std::string>& args : {std::vector<std::string>{"ports", "--json"},
                                                 std::vector<std::string>{"--json", "ports"}}) {
        ASSERT_EQ(CliRaw(args), 0) << Err();
        const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(Out()));
        ASSERT_TRUE(document.isArray()) << Out();
        const auto ports = document.array();
        const bool listed = std::any_of(ports.begin(), ports.end(), [](const QJsonValue& port) {
            return port.toObject().value("name").toString() == "COM213" &&
                   port.toObject().value("number").toInt() == 213;
        });
        EXPECT_TRUE(listed) << Out();
    }
}
