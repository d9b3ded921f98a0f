// tralvo-cli's commands in-process: the poll and continuous commands on simulated devices
// in virtual time, the command line, the trace format and the capture file.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <tuple>

#include "Watchdog.h"
#include "cli/CommandLine.h"
#include "cli/ContinuousCommand.h"
#include "cli/DescriptorStream.h"
#include "cli/Dispatch.h"
#include "cli/ExitCodes.h"
#include "cli/JsonLine.h"
#include "cli/PollCommand.h"
#include "cli/TraceWriter.h"
#include "serial/ComPortMap.h"
#include "sim/ServedPty.h"
#include "strings/Strings.h"
#include "tests/serial/ScopedConfigHome.h"
#include "tests/traffic/PcapRecords.h"
#include "tests/workflows/FakeLine.h"
#include "traffic/WireTap.h"

namespace {

using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::Test;

// Standard output as JSON Lines: one object a line, nothing else.
std::vector<QJsonObject> JsonLines(const std::string& out) {
    std::vector<QJsonObject> objects;
    std::istringstream in(out);
    for (std::string line; std::getline(in, line);) {
        QJsonParseError error;
        const QJsonDocument document =
            QJsonDocument::fromJson(QByteArray::fromStdString(line), &error);
        EXPECT_TRUE(document.isObject()) << line << ": " << error.errorString().toStdString();
        objects.push_back(document.object());
    }
    return objects;
}

class PollCommand : public Test {
protected:
    int Poll(std::vector<std::string> args, bool terminal = false, const std::string& typed = "",
             bool json = false) {
        std::istringstream in(typed);
        OutputFormat format;
        format.json = json;
        return RunPollCommand(line.link, 3, args, terminal, in, out, err, format);
    }

    FakeLine line{{Device(0, "PT101", 0x123456)}};
    std::ostringstream out;
    std::ostringstream err;
};

TEST_F(PollCommand, PrintsTheFourBoxesAndPassesForASingleDevice) {
    EXPECT_EQ(Poll({}), kExitPassed);
    EXPECT_EQ(out.str(),
              "Status: Test Pass, single device\n"
              "HART Tag: PT101   \n"
              "HART ID: 1193046\n"
              "HART Addr: 0\n");
}

TEST_F(PollCommand, SilentLineFailsWithExitOneAndAnswersNoWithoutATerminal) {
    line.Devices({}, SilentLine());
    EXPECT_EQ(Poll({}), kExitFailed);
    EXPECT_THAT(out.str(), HasSubstr("Status: Test Failed\n"));
    EXPECT_THAT(err.str(), HasSubstr("POLL: No devices at address 0.  Multi-drop Poll? no"));
    EXPECT_EQ(line.PollsOf(1), 0);
}

TEST_F(PollCommand, MultidropYesScansAndPasses) {
    line.Devices({Device(3, "A", 3), Device(12, "B", 12)});
    EXPECT_EQ(Poll({"--multidrop", "yes"}), kExitPassed);
    EXPECT_THAT(out.str(), HasSubstr("Status: Test Pass, multi-drop network\n"
                                     "HART Tag: Multi-Drop\n"
                                     "HART ID: 0\n"
                                     "HART Addr: 3, 12\n"));
}

TEST_F(PollCommand, AskModeTakesTheAnswerTypedAtTheTerminal) {
    line.Devices({Device(5, "A", 5)});
    EXPECT_EQ(Poll({}, /*terminal=*/true, "y\n"), kExitPassed);
    EXPECT_THAT(out.str(), HasSubstr("HART Addr: 5\n"));
    EXPECT_THAT(err.str(), HasSubstr("Multi-drop Poll? [y/n] "));
}

TEST_F(PollCommand, AskModeTakesEndOfInputAsNo) {
    line.Devices({Device(5, "A", 5)});
    EXPECT_EQ(Poll({"--multidrop=ask"}, false, ""), kExitFailed);
    EXPECT_EQ(line.PollsOf(5), 0);
}

TEST_F(PollCommand, PortErrorExitsTwoWithTheMessageOnStandardError) {
    line.serial.openStatus = 2;
    EXPECT_EQ(Poll({"--multidrop", "no"}), kExitPortError);
    EXPECT_THAT(err.str(), HasSubstr("POLL: Error opening COM port\n"));
    EXPECT_THAT(err.str(), HasSubstr(": no such device. Is the modem plugged in?\n"
                                     "Run: com-troubleshooter --report --port 3\n"));
    EXPECT_THAT(out.str(), HasSubstr("Status: COM Port Error\n"));
}

TEST_F(PollCommand, RejectsUnknownArgumentsAndAnswers) {
    EXPECT_EQ(Poll({"--multidrop", "maybe"}), kExitUsage);
    EXPECT_EQ(Poll({"--multidrop"}), kExitUsage);
    EXPECT_EQ(Poll({"--bogus"}), kExitUsage);
    EXPECT_TRUE(line.serial.Writes().empty());
    EXPECT_EQ(line.serial.Count(FakeSerial::Kind::Open), 0);
}

TEST_F(PollCommand, JsonIsOneObjectWithTheResultTheDeviceAndItsIdentityAsNumbers) {
    EXPECT_EQ(Poll({}, false, "", /*json=*/true), kExitPassed);
    const std::vector<QJsonObject> objects = JsonLines(out.str());
    ASSERT_EQ(objects.size(), 1u);
    const QJsonObject& result = objects[0];
    EXPECT_EQ(result["status"].toString(), "Test Pass, single device");
    EXPECT_EQ(result["outcome"].toString(), "pass_single");
    EXPECT_EQ(result["port"].toString(), "COM3");
    EXPECT_EQ(result["tag"].toString(), "PT101") << "without the Packed ASCII padding";
    ASSERT_TRUE(result["hart_id"].isDouble());
    EXPECT_EQ(result["hart_id"].toInteger(), 0x123456);
    EXPECT_EQ(result["address"].toString(), "0");
    EXPECT_EQ(result["addresses"].toArray(), QJsonArray{0});
    EXPECT_EQ(result["manufacturer"].toInt(), 0x26);
    EXPECT_EQ(result["device_type"].toInt(), 0x06);
    EXPECT_EQ(result["universal_rev"].toInt(), 7);
    EXPECT_TRUE(result["error"].isNull());
}

TEST_F(PollCommand, JsonOfAMultiDropPassListsTheAddressesAndNoSingleDevice) {
    line.Devices({Device(3, "A", 3), Device(12, "B", 12)});
    EXPECT_EQ(Poll({"--multidrop", "yes"}, false, "", /*json=*/true), kExitPassed);
    const std::vector<QJsonObject> objects = JsonLines(out.str());
    ASSERT_EQ(objects.size(), 1u);
    EXPECT_EQ(objects[0]["outcome"].toString(), "pass_multidrop");
    EXPECT_EQ(objects[0]["addresses"].toArray(), (QJsonArray{3, 12}));
    EXPECT_TRUE(objects[0]["hart_id"].isNull());
    EXPECT_TRUE(objects[0]["manufacturer"].isNull());
}

class ContinuousCommand : public Test {
protected:
    int Send(
        std::vector<std::string> args, std::function<bool()> interrupted = [] { return false; }) {
        return RunContinuousCommand(line.link, 3, args, interrupted, out, err, format);
    }

    FakeLine line{{Device(0, "PT101", 0x123456)}};
    OutputFormat format;
    std::ostringstream out;
    std::ostringstream err;
};

TEST_F(ContinuousCommand, CountLimitsThePollsAndEachGetsALine) {
    EXPECT_EQ(Send({"--count", "3"}), kExitPassed);
    EXPECT_EQ(out.str(),
              "Continous send...\n"
              "poll 1: answered\n"
              "poll 2: answered\n"
              "poll 3: answered\n");
    EXPECT_EQ(line.PollsOf(0), 3);
    EXPECT_FALSE(line.serial.IsOpen());
}

TEST_F(ContinuousCommand, SilentLineReportsNoAnswer) {
    line.Devices({}, SilentLine());
    EXPECT_EQ(Send({"--count=1"}), kExitPassed);
    EXPECT_THAT(out.str(), HasSubstr("poll 1: no answer\n"));
}

TEST_F(ContinuousCommand, AnInterruptEndsTheSendWithThePortClosed) {
    EXPECT_EQ(Send({}, [&] { return line.PollsOf(0) >= 2; }), kExitPassed);
    EXPECT_EQ(line.PollsOf(0), 2);
    EXPECT_FALSE(line.serial.IsOpen());
}

TEST_F(ContinuousCommand, PortErrorExitsTwo) {
    line.serial.openStatus = 2;
    EXPECT_EQ(Send({"--count", "1"}), kExitPortError);
    EXPECT_THAT(err.str(), HasSubstr("POLL: Error opening COM port\n"));
    EXPECT_THAT(out.str(), HasSubstr("COM Port Error\n"));
}

TEST_F(ContinuousCommand, JsonGivesEachPollAsAnObjectCountingThoseNobodyAnswered) {
    int heard = 0;
    // The second poll goes unanswered, both its attempts.
    line.answers = [&](const sim::Frame&) { return ++heard < 2 || heard > 3; };
    format.json = true;
    const QDateTime start(QDate(2024, 5, 1), QTime(10, 0));
    format.now = [&] { return start.addMSecs(qint64(line.clock.NowMs())); };
    EXPECT_EQ(Send({"--count", "3"}), kExitPassed);
    const std::vector<QJsonObject> polls = JsonLines(out.str());
    ASSERT_EQ(polls.size(), 3u) << "the status is no JSON: " << out.str();
    EXPECT_THAT(err.str(), HasSubstr("Continous send...\n"));
    const std::vector<std::pair<bool, int>> answeredAndErrors = {{true, 0}, {false, 1}, {true, 1}};
    for (size_t i = 0; i < polls.size(); ++i) {
        EXPECT_EQ(polls[i]["count"].toInt(), int(i) + 1);
        EXPECT_EQ(polls[i]["answered"].toBool(), answeredAndErrors[i].first) << i;
        EXPECT_EQ(polls[i]["errors"].toInt(), answeredAndErrors[i].second) << i;
        EXPECT_TRUE(polls[i]["pv"].isNull());
        EXPECT_TRUE(
            QDateTime::fromString(polls[i]["timestamp"].toString(), Qt::ISODateWithMs).isValid());
    }
}

TEST_F(ContinuousCommand, RejectsAZeroOrMissingCount) {
    EXPECT_EQ(Send({"--count", "0"}), kExitUsage);
    EXPECT_EQ(Send({"--count", "x"}), kExitUsage);
    EXPECT_EQ(Send({"--count"}), kExitUsage);
    EXPECT_TRUE(line.serial.Writes().empty());
}

TEST(CommandLine, ReadsTheOptionsBeforeTheCommandAndLeavesTheRestToIt) {
    CommandLine line;
    std::string error;
    ASSERT_TRUE(ParseCommandLine(
        {"--port", "7", "--lang=zh", "--trace", "--pcap", "run.pcap", "poll", "--multidrop", "yes"},
        line, error))
        << error;
    EXPECT_EQ(line.port, 7);
    EXPECT_EQ(line.language, "Chinese");
    EXPECT_TRUE(line.trace);
    EXPECT_EQ(line.pcap, "run.pcap");
    EXPECT_EQ(line.command, "poll");
    EXPECT_EQ(line.commandArgs, (std::vector<std::string>{"--multidrop", "yes"}));
}

TEST(CommandLine, TakesPortsAsNumbersOrComNames) {
    CommandLine line;
    std::string error;
    ASSERT_TRUE(ParseCommandLine({"--port=COM255", "ports"}, line, error));
    EXPECT_EQ(line.port, 255);
    ASSERT_TRUE(ParseCommandLine({"--port", "0", "poll"}, line, error));
    EXPECT_EQ(line.port, 0);
}

TEST(CommandLine, KeepsEveryByteOfACaptureFileNameThatIsNotUtf8) {
    CommandLine line;
    std::string error;
    ASSERT_TRUE(ParseCommandLine({"--pcap", "\xE9t\xE9.pcapng", "poll"}, line, error)) << error;
    EXPECT_EQ(line.pcap, std::optional<std::string>("\xE9t\xE9.pcapng"));
}

TEST(CommandLine, RefusesWhatItCannotUse) {
    const std::vector<std::vector<std::string>> bad = {
        {},
        {"--port", "256", "poll"},
        {"--port", "-1", "poll"},
        {"--port", "COM", "poll"},
        {"--port"},
        {"--lang", "fr", "poll"},
        {"--verbose", "poll"},
        {"--pcap"},
        {"--pcap=", "poll"},
    };
    for (const auto& args : bad) {
        CommandLine line;
        std::string error;
        EXPECT_FALSE(ParseCommandLine(args, line, error)) << args.size();
        EXPECT_FALSE(error.empty());
    }
}

TEST(CommandLine, ACommandsOptionGoesToItEachTimeAndAnythingElseIsNamed) {
    std::vector<std::string> kept;
    const auto keep = [&](const std::string& value) {
        kept.push_back(value);
        return value != "stop";
    };
    std::ostringstream err;
    EXPECT_TRUE(ReadOptionArguments({"--n", "1", "--n=2"}, "cmd", "--n", err, keep));
    EXPECT_FALSE(ReadOptionArguments({"--n", "stop", "--n", "3"}, "cmd", "--n", err, keep));
    EXPECT_FALSE(ReadOptionArguments({"--nx"}, "cmd", "--n", err, keep));
    EXPECT_FALSE(ReadOptionArguments({"--n=4", "--n"}, "cmd", "--n", err, keep));
    EXPECT_EQ(kept, (std::vector<std::string>{"1", "2", "stop", "4"}));
    EXPECT_EQ(err.str(),
              "tralvo-cli: cmd: unknown argument '--nx'\ntralvo-cli: cmd: --n needs a value\n");
}

TEST(CommandLine, JsonCountsBeforeTheCommandOrAmongItsArgumentsWhichNeverSeeIt) {
    CommandLine before, after;
    std::string error;
    ASSERT_TRUE(ParseCommandLine({"--json", "pv", "--attempts", "0"}, before, error)) << error;
    ASSERT_TRUE(ParseCommandLine({"poll", "--json", "--multidrop", "no"}, after, error)) << error;
    EXPECT_TRUE(before.json);
    EXPECT_TRUE(after.json);
    EXPECT_EQ(after.commandArgs, (std::vector<std::string>{"--multidrop", "no"}));
}

TEST(CommandLine, HelpNeedsNoCommandAndCountsAfterOne) {
    CommandLine line;
    std::string error;
    ASSERT_TRUE(ParseCommandLine({"--help"}, line, error));
    EXPECT_TRUE(line.help);
    CommandLine after;
    ASSERT_TRUE(ParseCommandLine({"poll", "--help"}, after, error));
    EXPECT_TRUE(after.help);
}

TEST(RunCli, UsageErrorsExit64WithAMessage) {
    std::istringstream in;
    std::ostringstream out, err;
    EXPECT_EQ(RunCli({"frobnicate"}, in, out, err), kExitUsage);
    EXPECT_THAT(err.str(), HasSubstr("unknown command 'frobnicate'"));
    EXPECT_EQ(RunCli({"ports", "extra"}, in, out, err), kExitUsage);
    EXPECT_EQ(RunCli({"--port", "999", "poll"}, in, out, err), kExitUsage);
}

TEST(RunCli, HelpDescribesEveryCommandAndTheExitStatus) {
    std::istringstream in;
    std::ostringstream out, err;
    EXPECT_EQ(RunCli({"--help"}, in, out, err), kExitPassed);
    for (const char* word : {"poll", "--multidrop", "pv", "--attempts", "continuous", "--count",
                             "ports", "--port", "--lang", "--trace", "--pcap", "64"})
        EXPECT_THAT(out.str(), HasSubstr(word));
}

// Port 0 would fail with status 2 and "COM Port Error" had the port been tried.
TEST(RunCli, ACaptureFileThatCannotBeCreatedOrWrittenEndsTheRunBeforeThePortIsTouched) {
    for (const auto& [capture, status, message] :
         {std::tuple{"/nonexistent/folder/run.pcap", kExitUsage,
                     "cannot create the capture file '/nonexistent/folder/run.pcap': No such "
                     "file or directory\nTry 'tralvo-cli --help'.\n"},
          {"/dev/full", kExitIoError,
           "cannot write the capture file '/dev/full': No space left on device; it holds no "
           "frames\n"}}) {
        std::istringstream in;
        std::ostringstream out, err;
        EXPECT_EQ(RunCli({"--port", "0", "--pcap", capture, "poll"}, in, out, err), status);
        EXPECT_EQ(err.str(), std::string("tralvo-cli: ") + message);
        EXPECT_EQ(out.str(), "");
    }
}

// An earlier capture survives a mistyped command line, and a link planted where the
// capture goes is refused rather than followed.
TEST(RunCli, ACaptureIsNotOverwrittenByAMistypedRunOrThroughASymbolicLink) {
    const ScopedConfigHome home;
    const std::string capture = home.path() + "/old.pcap", planted = home.path() + "/run.pcap";
    std::ofstream(capture) << "earlier run";
    ASSERT_EQ(symlink(capture.c_str(), planted.c_str()), 0);
    std::ostringstream err;
    for (const std::vector<std::string>& command :
         {std::vector<std::string>{capture, "poll", "--multidrop", "maybe"},
          {capture, "pv", "--attempts", "x"},
          {capture, "continuous", "--count", "0"},
          {planted, "poll"}}) {
        std::vector<std::string> args{"--port", "200", "--pcap"};
        args.insert(args.end(), command.begin(), command.end());
        std::istringstream in;
        std::ostringstream out;
        EXPECT_EQ(RunCli(args, in, out, err), kExitUsage) << command[1];
    }
    EXPECT_THAT(err.str(), HasSubstr("'" + planted + "': it is a symbolic link"));
    const std::vector<uint8_t> bytes = traffictest::FileBytes(capture);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "earlier run");
}

TEST(RunCli, OutputThatCannotBeWrittenEndsTheRunWithStatus74AndTheReason) {
    const ScopedConfigHome home;
    sim::ServedPty line(sim::LineTiming{.fast = true}, {sim::DefaultDevice(0)});
    ASSERT_TRUE(line.ok());
    ASSERT_TRUE(home.Link(PortLinkPath(243), line.SlavePath()));
    // continuous has no end of its own: only the lost output stops it.
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--help"},
          {"--json", "ports"},
          {"--port", "243", "--json", "poll", "--multidrop", "no"},
          {"--port", "243", "continuous"}}) {
        std::istringstream in;
        std::ostringstream err;
        const int fullDisk = open("/dev/full", O_WRONLY | O_CLOEXEC);
        CDescriptorStream out(fullDisk);
        EXPECT_EQ(RunCli(args, in, out, err), kExitIoError) << args.back();
        close(fullDisk);
        EXPECT_THAT(err.str(), HasSubstr("cannot write standard output: No space left on device"))
            << args.back();
    }
}

TEST(RunCli, CaptureFileHoldsEveryFrameOfThePollAsHartIp) {
    const ScopedConfigHome home;
    sim::DeviceConfig device = sim::DefaultDevice(0);
    device.tag = "PT101";
    sim::ServedPty line(sim::LineTiming{.fast = true}, {device});
    ASSERT_TRUE(line.ok());
    ASSERT_TRUE(home.Link(PortLinkPath(241), line.SlavePath()));
    const std::string capture = home.path() + "/poll.pcap";
    std::istringstream in;
    std::ostringstream out, err;
    const int64_t started = traffic::WallClockNowUs();
    ASSERT_EQ(
        RunCli({"--port", "241", "--pcap", capture, "poll", "--multidrop", "no"}, in, out, err),
        kExitPassed)
        << err.str();

    const std::vector<traffictest::PcapRecord> records =
        traffictest::PcapRecords(traffictest::FileBytes(capture));
    ASSERT_EQ(records.size(), 4u);
    const std::vector<std::pair<traffic::FrameKind, uint8_t>> expected = {
        {traffic::FrameKind::Request, 0},
        {traffic::FrameKind::Answer, 0},
        {traffic::FrameKind::Request, 13},
        {traffic::FrameKind::Answer, 13},
    };
    for (size_t i = 0; i < records.size(); ++i) {
        const traffic::DecodedFrame frame = records[i].Decoded();
        EXPECT_EQ(frame.kind, expected[i].first) << i;
        EXPECT_EQ(frame.command, expected[i].second) << i;
        EXPECT_EQ(frame.checksum, traffic::ChecksumState::Good) << i;
        EXPECT_GE(records[i].timeUs, started) << i;
        EXPECT_LT(records[i].timeUs, started + 60'000'000) << i;
    }
    ASSERT_TRUE(records[3].Decoded().tag);
    EXPECT_EQ(records[3].Decoded().tag->tag, "PT101   ");
}

TEST(RunCli, PortZeroIsAPortErrorInTheChosenLanguage) {
    std::istringstream in;
    std::ostringstream out, err;
    EXPECT_EQ(RunCli({"--port", "0", "--lang", "zh", "poll", "--multidrop", "no"}, in, out, err),
              kExitPortError);
    EXPECT_THAT(out.str(), HasSubstr("Status: " + LoadString(IDS_COM_PORT_ERROR).toStdString()));
    EXPECT_THAT(out.str(), HasSubstr("COM端口错误"));
    EXPECT_THAT(err.str(), Not(HasSubstr("com-troubleshooter")));  // it has no port 0 to check
    SetStringLanguage("English");
}

TEST(RunCli, APortThatIsNoTtySaysSoAndHowToRunTheTroubleshooter) {
    const ScopedConfigHome home;
    const std::string file = home.path() + "/capture.log";
    std::ofstream(file) << "not a tty";
    ASSERT_TRUE(home.Link(PortLinkPath(40), file));
    std::istringstream in;
    std::ostringstream out, err;
    EXPECT_EQ(RunCli({"--port", "40", "poll", "--multidrop", "no"}, in, out, err), kExitPortError);
    EXPECT_EQ(err.str(), "POLL: Error opening COM port\nCOM40 (" + file +
                             ") is not a serial port.\n"
                             "Run: com-troubleshooter --report --port 40\n");
}

TEST(RunCli, ASettingsFileThatIsAFifoReadsAsTheDefaultsWithOneWarning) {
    const ScopedConfigHome home;
    const std::string store = home.path() + "/Brenlow/Tralvo.conf";
    // The default port, COM99, is a link that leads nowhere: it fails without a device.
    ASSERT_TRUE(home.Link(home.path() + "/Brenlow/Tralvo/ports/COM99", home.path() + "/gone"));
    ASSERT_EQ(0, mkfifo(store.c_str(), 0600));
    std::istringstream in;
    std::ostringstream out, err;
    Watchdog watchdog({store});
    // Three reads: the language, the port, the older port entry.
    EXPECT_EQ(RunCli({"poll", "--multidrop", "no"}, in, out, err), kExitPortError);
    EXPECT_FALSE(watchdog.Dismiss()) << "tralvo-cli waited on the FIFO";
    EXPECT_EQ(err.str(), "tralvo-cli: warning: The settings file " + store +
                             " is not a regular file. Tralvo uses its default settings and "
                             "leaves the file alone.\n"
                             "POLL: Error opening COM port\nCOM99 (" +
                             home.path() + "/Brenlow/Tralvo/ports/COM99 -> " + home.path() +
                             "/gone): no such device. Is the modem plugged in?\n"
                             "Run: com-troubleshooter --report --port 99\n");
    EXPECT_TRUE(std::filesystem::is_fifo(store));
}

TEST(JsonOutput, FloatsAreTheShortestDecimalOfTheFloatAndNaNIsNull) {
    EXPECT_EQ(QJsonDocument(QJsonObject{{"v", JsonFloat(12.3f)}}).toJson(QJsonDocument::Compact),
              R"({"v":12.3})");
    EXPECT_TRUE(JsonFloat(std::nanf("")).isNull());
}

TEST(TraceWriter, PrintsEveryByteOfTheWireWithItsTimeResultAndWhatTheLineDid) {
    std::ostringstream out;
    CTraceWriter trace(out, 1'000'000);
    traffic::TrafficFrame sent;
    sent.timeUs = 2'234'000;
    sent.bytes = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x02, 0x80, 0x00, 0x00, 0x82};
    trace.Write(sent);
    traffic::TrafficFrame cut = sent;
    cut.direction = traffic::Direction::Received;
    cut.timeUs = 2'734'000;
    cut.bytes = {0x12, 0x34, 0xFF, 0xFF, 0x06, 0x80, 0x00, 0x05, 0x00};
    cut.frameStart = 4;
    cut.linkResult = kLinkDataIncomplete;
    trace.Write(cut);
    traffic::TrafficFrame silent = cut;
    silent.bytes.clear();
    silent.frameStart.reset();
    silent.linkResult = kLinkNoReply;
    trace.Write(silent);
    EXPECT_EQ(out.str(),
              "   1234 ms  TX  FF\u00D75 02 80 00 00 82  result 0 (ok)\n"
              "   1734 ms  RX  12 34 FF\u00D72 06 80 00 05 00  result 3 (data incomplete)  "
              "noise: 2 bytes before the preamble; incomplete frame: 5 bytes\n"
              "   1734 ms  RX  -  result 5 (no reply)\n");
}

}  // namespace
