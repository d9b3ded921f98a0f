// The Poll HART Network test through its view, against simulated devices in virtual time.
#include <gtest/gtest.h>

#include <QStringList>

#include "FakeLine.h"
#include "workflows/PollHartNetwork.h"
#include "workflows/ReadTag.h"

namespace {

using ::testing::Test;

constexpr uint8_t kCommandTag13 = 13;
constexpr uint8_t kCommandTag4 = 4;

class PollTest : public Test {
protected:
    PollOutcome Run() { return RunPollTest(line.link, view, members); }
    void Expect(const char* status, const char* tag, uint32_t id, const char* address) {
        EXPECT_EQ(members.strStatus, QString::fromUtf8(status));
        EXPECT_EQ(members.strTag, QString::fromUtf8(tag));
        EXPECT_EQ(members.nHartId, id);
        EXPECT_EQ(members.strAddress, QString::fromUtf8(address));
        // The window shows what the members hold at the end.
        ASSERT_FALSE(view.shown.empty());
        EXPECT_EQ(view.shown.back().strStatus, members.strStatus);
        EXPECT_EQ(view.shown.back().strAddress, members.strAddress);
    }

    FakeLine line{{Device(0, "TAG1", 0x123456)}};
    RecordingView view;
    TestMembers members;
};

TEST_F(PollTest, DeviceAtAddressZeroPassesAsSingleDeviceWithItsTagIdAndAddress) {
    EXPECT_EQ(Run(), PollOutcome::SingleDevice);
    Expect("Test Pass, single device", "TAG1    ", 1193046, "0");
    EXPECT_TRUE(view.questions.empty());
    EXPECT_FALSE(line.serial.IsOpen());
    EXPECT_EQ(line.serial.OpenedPath(), "\\\\.\\COM3");
}

TEST_F(PollTest, ShowsPollingWithAnEmptyAddressBeforeThePortOpens) {
    members.strAddress = "0";
    members.nHartId = 77;
    int opensAtFirstShow = -1;
    view.onShow = [&] {
        if (opensAtFirstShow < 0) opensAtFirstShow = line.serial.Count(FakeSerial::Kind::Open);
    };
    Run();
    ASSERT_GE(view.shown.size(), 2u);
    EXPECT_EQ(view.shown.front().strStatus, "Polling...");
    EXPECT_EQ(view.shown.front().strAddress, "");
    EXPECT_EQ(opensAtFirstShow, 0);
}

TEST_F(PollTest, WaitsASecondAfterOpeningAndHalfASecondBeforeTheTagRead) {
    Run();
    const auto& events = line.serial.Events();
    uint64_t openedAt = 0;
    std::vector<uint64_t> writes;
    for (const auto& e : events) {
        if (e.kind == FakeSerial::Kind::SetHartLine) openedAt = e.atMs;
        if (e.kind == FakeSerial::Kind::Write) writes.push_back(e.atMs);
    }
    ASSERT_EQ(writes.size(), 2u);  // identity poll, tag read
    EXPECT_GE(writes[0] - openedAt, 1000u);
    // The identity exchange itself takes well under 500 ms more than its on-air time.
    EXPECT_GE(writes[1] - writes[0], 500u + FakeSerial::OnAirMs(25));
}

TEST_F(PollTest, ReadsTheTagWithCommand13FromRevisionFiveOn) {
    line.Devices({Device(0, "REV5", 0x000001, 5)});
    Run();
    EXPECT_EQ(line.RequestsFor(kCommandTag13), 1);
    EXPECT_EQ(line.RequestsFor(kCommandTag4), 0);
    EXPECT_EQ(members.strTag, "REV5    ");
}

TEST_F(PollTest, ReadsTheTagWithCommand4AndDataByte1BeforeRevisionFive) {
    line.Devices({Device(0, "OLD4", 0x000002, 4)});
    Run();
    ASSERT_EQ(line.RequestsFor(kCommandTag4), 1);
    EXPECT_EQ(line.RequestsFor(kCommandTag13), 0);
    for (const auto& r : line.Requests()) {
        if (r.command != kCommandTag4) continue;
        EXPECT_FALSE(r.IsLong());
        EXPECT_EQ(r.data, sim::Bytes{1});
    }
    EXPECT_EQ(members.strTag, "OLD4    ");
    EXPECT_EQ(members.strStatus, "Test Pass, single device");
}

// How many requests one failed tag read (command 4) makes, as the link layer decides.
int RequestsPerFailedTagRead() {
    FakeLine probe{{Device(0, "X", 1, 4)}};
    probe.answers = [](const sim::Frame& r) { return r.command != kCommandTag4; };
    probe.link.OpenPort(3, 1200);
    EXPECT_TRUE(probe.link.PollIdentity(0, 2));
    char tag[9] = {};
    EXPECT_FALSE(ReadTag(probe.link, tag));
    EXPECT_EQ(tag[0], 0);  // a failed read leaves the buffer as it was
    return probe.RequestsFor(kCommandTag4);
}

// Command 4's read fails soon enough on a silent line to leave time for a second one.
TEST_F(PollTest, ATagReadThatFailsOnceIsRunAgain) {
    line.Devices({Device(0, "TAG1", 0x123456, 4)});
    const int perRead = RequestsPerFailedTagRead();
    int tagRequests = 0;
    line.answers = [&](const sim::Frame& r) {
        return r.command != kCommandTag4 || ++tagRequests > perRead;
    };
    Run();
    EXPECT_EQ(members.strTag, "TAG1    ");
    EXPECT_EQ(members.strStatus, "Test Pass, single device");
    EXPECT_EQ(line.RequestsFor(kCommandTag4), perRead + 1);
}

// The second read gets only what is left of the test's 10 s.
TEST_F(PollTest, TwoFailedTagReadsStillPassWithAnEmptyTagAndNoThirdRead) {
    line.Devices({Device(0, "TAG1", 0x123456, 4)});
    const int perRead = RequestsPerFailedTagRead();
    line.answers = [](const sim::Frame& r) { return r.command != kCommandTag4; };
    EXPECT_EQ(Run(), PollOutcome::SingleDevice);
    Expect("Test Pass, single device", "", 1193046, "0");
    EXPECT_GT(line.RequestsFor(kCommandTag4), perRead);
    EXPECT_LE(line.RequestsFor(kCommandTag4), 2 * perRead);
}

TEST_F(PollTest, NoAnswerAtAddressZeroAsksTheMultiDropQuestion) {
    line.Devices({}, SilentLine());
    Run();
    ASSERT_EQ(view.questions.size(), 1u);
    EXPECT_EQ(view.questions[0], "No devices at address 0.  Multi-drop Poll?");
    EXPECT_EQ(view.captions[0], "POLL");
    EXPECT_EQ(line.PollsOf(0), 2);
}

TEST_F(PollTest, DecliningTheScanFailsWithoutPollingOtherAddresses) {
    line.Devices({}, SilentLine());
    members.strTag = "OLDTAG";
    EXPECT_EQ(Run(), PollOutcome::Failed);
    Expect("Test Failed", " ", 0, " ");
    for (uint8_t a = 1; a <= 15; ++a) EXPECT_EQ(line.PollsOf(a), 0) << int(a);
    EXPECT_FALSE(line.serial.IsOpen());
}

TEST_F(PollTest, MultiDropScanListsEveryAnsweringAddressAfterPollingAllFifteenOnce) {
    line.Devices({Device(3, "DEV3", 0x30), Device(12, "DEV12", 0x120)});
    view.answerYes = true;
    EXPECT_EQ(Run(), PollOutcome::MultiDrop);
    Expect("Test Pass, multi-drop network", "Multi-Drop", 0, "3, 12");
    for (uint8_t a = 1; a <= 15; ++a) EXPECT_EQ(line.PollsOf(a), 1) << int(a);
    EXPECT_EQ(line.PollsOf(16), 0);
    // The link keeps the identity of the highest answering address.
    EXPECT_EQ(line.link.m_deviceId[2], 0x20);
    EXPECT_FALSE(line.serial.IsOpen());
}

TEST_F(PollTest, MultiDropScanWithoutAnswersFails) {
    line.Devices({}, SilentLine());
    view.answerYes = true;
    EXPECT_EQ(Run(), PollOutcome::Failed);
    Expect("Test Failed", " ", 0, " ");
    for (uint8_t a = 1; a <= 15; ++a) EXPECT_EQ(line.PollsOf(a), 1) << int(a);
}

TEST_F(PollTest, EachMultiDropRunShowsOnlyItsOwnList) {
    Run();  // a single device first: its "0" must not lead the next list
    ASSERT_EQ(members.strAddress, "0");
    line.Devices({Device(3, "DEV3", 0x30), Device(12, "DEV12", 0x120)});
    view.answerYes = true;
    Run();
    EXPECT_EQ(members.strAddress, "3, 12");
    Run();
    EXPECT_EQ(members.strAddress, "3, 12");
}

TEST_F(PollTest, PortErrorShowsTheBoxThenComPortErrorKeepingTheTag) {
    line.serial.openStatus = 2;  // the device does not exist
    members.strTag = "PREVIOUS";
    members.nHartId = 1193046;
    members.strAddress = "0";
    EXPECT_EQ(Run(), PollOutcome::PortError);
    ASSERT_EQ(view.errors.size(), 1u);
    // The box names the device COM3 leads to and why, and the window learns the port.
    const QStringList lines = view.errors[0].split(u'\n');
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0], "Error opening COM port");
    EXPECT_TRUE(lines[1].endsWith(": no such device. Is the modem plugged in?"))
        << lines[1].toStdString();
    EXPECT_EQ(view.openErrorPorts, std::vector<uint8_t>{3});
    EXPECT_EQ(view.captions[0], "POLL");
    Expect("COM Port Error", "PREVIOUS", 0, "");
    EXPECT_TRUE(line.serial.Writes().empty());
    EXPECT_TRUE(view.questions.empty());
}

TEST_F(PollTest, PortNumberZeroSendsNothing) {
    view.windowPort = 0;
    EXPECT_EQ(Run(), PollOutcome::PortError);
    ASSERT_EQ(view.errors.size(), 1u);
    EXPECT_EQ(view.errors[0], "Error opening COM port");  // no device was even looked for
    EXPECT_EQ(members.strStatus, "COM Port Error");
    EXPECT_EQ(line.serial.Count(FakeSerial::Kind::Open), 0);
    EXPECT_TRUE(line.serial.Writes().empty());
}

TEST_F(PollTest, APortAlreadyOpenTakesThePortErrorPathAndStaysOpen) {
    ASSERT_EQ(line.link.OpenPort(3, 1200), 0u);
    EXPECT_EQ(Run(), PollOutcome::PortError);
    EXPECT_EQ(members.strStatus, "COM Port Error");
    // Whoever opened it closes it; the test did not.
    EXPECT_TRUE(line.serial.IsOpen());
}

TEST_F(PollTest, ASingleDeviceWithIdentifierZeroPassesButLeavesTheIdZero) {
    line.Devices({Device(0, "ZERO", 0)});
    EXPECT_EQ(Run(), PollOutcome::SingleDevice);
    Expect("Test Pass, single device", "ZERO    ", 0, "0");
}

// --- bad lines ----------------------------------------------------------------------

class PollTestOnABadLine : public PollTest {
protected:
    uint64_t Elapsed(uint64_t since) const { return line.clock.NowMs() - since; }
    // The line goes, as an unplugged modem does, as soon as a request of this command is
    // written.
    void VanishAtCommand(uint8_t command) {
        line.answers = [this, command](const sim::Frame& request) {
            if (request.command == command) line.serial.HangUpAt(line.clock.NowMs());
            return request.command != command;
        };
    }
};

TEST_F(PollTestOnABadLine, ADeviceThatVanishesDuringTheTagReadIsAPortErrorNotAPass) {
    VanishAtCommand(kCommandTag13);
    EXPECT_EQ(Run(), PollOutcome::PortError);
    EXPECT_EQ(members.strStatus, "COM Port Error");
    EXPECT_EQ(members.nHartId, 0u);
    ASSERT_EQ(view.errors.size(), 1u);
    EXPECT_TRUE(view.errors[0].startsWith("The COM port stopped working"));
    EXPECT_EQ(line.RequestsFor(kCommandTag13), 1) << "a dead port is not tried again";
    EXPECT_FALSE(line.serial.IsOpen());
}

TEST_F(PollTestOnABadLine, APortThatStopsDuringTheMultiDropScanEndsTheScanThere) {
    line.Devices({Device(3, "PT3", 3)});
    view.answerYes = true;
    line.answers = [this](const sim::Frame& request) {
        if ((request.address.at(0) & 0x3F) == 5) line.serial.HangUpAt(line.clock.NowMs());
        return true;
    };
    EXPECT_EQ(Run(), PollOutcome::PortError);
    EXPECT_EQ(line.PollsOf(6), 0);
    EXPECT_EQ(members.strStatus, "COM Port Error");
    EXPECT_FALSE(line.serial.IsOpen());
}

TEST_F(PollTestOnABadLine, TheTestKeepsItsTimeGoalsOnALineThatNeverStopsTalking) {
    line.Devices({}, SilentLine());
    // Preamble bytes back to back, and every 300 ms a burst frame of a device that does
    // not answer: the worst a line can do to the hunt and to the attempt limits.
    sim::FieldBus burster({Device(9, "BURST", 9)}, {});
    const uint64_t start = line.clock.NowMs();
    for (uint64_t at = start; at < start + 120000; at += 9) {
        line.serial.Arrive({0xFF}, at);
        if ((at - start) % 297 == 0) line.serial.Arrive(burster.Burst().bytes, at);
    }

    EXPECT_EQ(Run(), PollOutcome::Failed);
    EXPECT_LE(Elapsed(start), 10000u) << "poll without the multi-drop scan";
    EXPECT_GT(line.PollsOf(0), 2) << "the bursts are heard, and raise the attempt limit";

    view.answerYes = true;
    const uint64_t scanStart = line.clock.NowMs();
    Run();
    EXPECT_LE(Elapsed(scanStart), 60000u) << "poll with the multi-drop scan";
}

// Without a budget for the tag read each of its two reads waits out busy answers on its own.
TEST_F(PollTestOnABadLine, ADeviceBusyForEverStillPassesWithinTenSeconds) {
    sim::Behaviour busy;
    busy.busyForever = true;
    line.Devices({Device(0, "TAG1", 0x123456)}, busy);
    const uint64_t start = line.clock.NowMs();
    EXPECT_EQ(Run(), PollOutcome::SingleDevice);
    EXPECT_LE(Elapsed(start), 10000u);
    EXPECT_GT(line.RequestsFor(kCommandTag13), 2) << "busy answers are asked again";
    Expect("Test Pass, single device", "", 1193046, "0");
    EXPECT_FALSE(line.serial.IsOpen());
}

TEST_F(PollTestOnABadLine, TheSystemConsoleIsRefusedWithAMessageThatSaysSo) {
    line.serial.openStatus = kSerialKernelConsole;
    EXPECT_EQ(Run(), PollOutcome::PortError);
    ASSERT_EQ(view.errors.size(), 1u);
    EXPECT_TRUE(view.errors[0].startsWith("Error opening COM port\n"));
    EXPECT_TRUE(view.errors[0].contains("system console"));
    EXPECT_EQ(members.strStatus, "COM Port Error");
}

TEST_F(PollTestOnABadLine, AStopRequestEndsTheTestAtOnceWithThePortClosed) {
    line.Devices({}, SilentLine());
    line.clock.SetAlarm(line.clock.NowMs() + 1500, [this] { line.serial.Wakeup().Signal(); });
    view.answerYes = true;
    EXPECT_EQ(Run(), PollOutcome::Interrupted);
    EXPECT_TRUE(view.questions.empty()) << "no question after a stop";
    EXPECT_TRUE(view.errors.empty());
    EXPECT_FALSE(line.serial.IsOpen());
}

}  // namespace
