// Continuous send: the steps before the polls, the polls themselves in virtual time, and
// the background thread that runs them for the window.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "FakeLine.h"
#include "workflows/ContinuousSend.h"
#include "workflows/LineWorker.h"

namespace {

using ::testing::Test;

class ContinuousSend : public Test {
protected:
    bool Begin() { return BeginContinuousSend(line.link, view, members); }
    // Polls until n have been made; returns the results in order.
    std::vector<bool> PollTimes(uint64_t n) {
        std::vector<bool> results;
        RunContinuousPolls(
            line.link, [&] { return results.size() >= n; },
            [&](uint64_t poll, bool answered) {
                EXPECT_EQ(poll, results.size() + 1);
                results.push_back(answered);
            });
        return results;
    }

    FakeLine line{{Device(0, "TAG1", 0x123456)}};
    RecordingView view;
    TestMembers members;
};

TEST_F(ContinuousSend, ShowsItsStatusWithAnEmptyAddressAndOpensThePort) {
    members.strAddress = "0";
    members.nHartId = 1193046;
    EXPECT_TRUE(Begin());
    ASSERT_EQ(view.shown.size(), 1u);
    EXPECT_EQ(view.shown[0].strStatus, "Continous send...");
    EXPECT_EQ(view.shown[0].strAddress, "");
    EXPECT_EQ(members.nHartId, 0u);
    EXPECT_TRUE(line.serial.IsOpen());
    EXPECT_TRUE(view.errors.empty());
}

TEST_F(ContinuousSend, PortNumberZeroShowsTheErrorAndSendsNothing) {
    view.windowPort = 0;
    members.nHartId = 5;
    EXPECT_FALSE(Begin());
    ASSERT_EQ(view.errors.size(), 1u);
    EXPECT_EQ(view.errors[0], "Error opening COM port");
    EXPECT_EQ(view.captions[0], "POLL");
    ASSERT_EQ(view.shown.size(), 2u);
    EXPECT_EQ(view.shown[1].strStatus, "COM Port Error");
    EXPECT_EQ(view.shown[1].nHartId, 0u);
    EXPECT_EQ(view.shown[1].strAddress, "");
    EXPECT_EQ(line.serial.Count(FakeSerial::Kind::Open), 0);
    EXPECT_TRUE(line.serial.Writes().empty());
}

TEST_F(ContinuousSend, AnsweringDeviceGetsOneRequestAPollBackToBack) {
    ASSERT_TRUE(Begin());
    EXPECT_EQ(PollTimes(5), std::vector<bool>(5, true));
    EXPECT_EQ(line.PollsOf(0), 5);
    EXPECT_EQ(static_cast<int>(line.Requests().size()), 5);
    EXPECT_FALSE(line.serial.IsOpen());
}

TEST_F(ContinuousSend, FirstPollWaitsASecondAfterTheOpenAndTheRestFollowAtOnce) {
    ASSERT_TRUE(Begin());
    const uint64_t openedAt = line.clock.NowMs();
    PollTimes(3);
    std::vector<uint64_t> writes;
    for (const auto& e : line.serial.Events())
        if (e.kind == FakeSerial::Kind::Write) writes.push_back(e.atMs);
    ASSERT_EQ(writes.size(), 3u);
    EXPECT_GE(writes[0] - openedAt, 1000u);
    EXPECT_LT(writes[0] - openedAt, 1100u);
    // Request and reply on the air plus the turnaround, and no pause of our own.
    EXPECT_LT(writes[2] - writes[1], 700u);
}

TEST_F(ContinuousSend, SilentLineMakesTwoAttemptsAPollAndGoesOn) {
    line.Devices({}, SilentLine());
    ASSERT_TRUE(Begin());
    EXPECT_EQ(PollTimes(3), std::vector<bool>(3, false));
    EXPECT_EQ(line.PollsOf(0), 6);
}

TEST_F(ContinuousSend, AStopDuringTheSettleSendsNothingAndClosesThePort) {
    ASSERT_TRUE(Begin());
    RunContinuousPolls(line.link, [] { return true; });
    EXPECT_TRUE(line.serial.Writes().empty());
    EXPECT_FALSE(line.serial.IsOpen());
}

TEST_F(ContinuousSend, OnTheWorkerItPollsUntilCancelledAndLeavesThePortClosed) {
    ASSERT_TRUE(Begin());
    CLineWorker worker(line.serial.Wakeup());
    std::atomic<uint64_t> polls{0};
    std::atomic<bool> finished{false};
    ASSERT_TRUE(worker.Start(
        [&] {
            RunContinuousPolls(
                line.link, [] { return false; }, [&](uint64_t poll, bool) { polls = poll; });
        },
        [&](bool ranToEnd) { finished = !ranToEnd; }));
    EXPECT_TRUE(worker.Busy());
    EXPECT_FALSE(worker.Start([] {})) << "one piece of work at a time";
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (polls < 3 && std::chrono::steady_clock::now() < deadline) std::this_thread::yield();
    worker.Cancel();
    EXPECT_FALSE(worker.Busy());
    EXPECT_TRUE(finished) << "told that it was cancelled";
    EXPECT_GE(polls, 3u);
    // Only now that the work has ended may this thread look at the port.
    EXPECT_FALSE(line.serial.IsOpen());
    // The cancel may cut one more poll short; it is sent but not counted.
    EXPECT_GE(line.PollsOf(0), static_cast<int>(polls));
    EXPECT_LE(line.PollsOf(0), static_cast<int>(polls) + 1);
    worker.Cancel();  // a second cancel is harmless
}

TEST_F(ContinuousSend, AVanishedPortEndsTheSendAsAPortErrorInsteadOfALoop) {
    ASSERT_TRUE(Begin());
    line.serial.HangUpAt(line.clock.NowMs() + 5000);
    uint64_t polls = 0;
    EXPECT_EQ(RunContinuousPolls(
                  line.link, [] { return false; }, [&](uint64_t, bool) { ++polls; }),
              ContinuousEnd::PortStopped);
    EXPECT_FALSE(line.serial.IsOpen());
    EXPECT_LE(line.PollsOf(0), static_cast<int>(polls) + 1) << "no poll after the port went";

    ReportPortStopped(view, members);
    ASSERT_EQ(view.errors.size(), 1u);
    EXPECT_TRUE(view.errors[0].startsWith("The COM port stopped working"));
    EXPECT_EQ(members.strStatus, "COM Port Error");
}

}  // namespace
