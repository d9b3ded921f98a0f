#include "workflows/PvMonitor.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "PvFixture.h"

namespace {

using ::testing::AllOf;
using ::testing::ElementsAre;
using ::testing::EndsWith;
using ::testing::IsEmpty;
using ::testing::StartsWith;

struct Shown {
    int32_t count;
    int32_t errors;
    std::string ao;
    std::string pv;
};

// The monitor with a view that records what it was told, in one log with the timer calls.
class RecordingMonitor : public PvMonitor {
public:
    std::vector<Shown> shown;
    std::vector<std::string> log;  // "SetTimer", "KillTimer", and each message text
    uintptr_t setTimerResult = kTimerId;
    bool killTimerResult = true;
    std::vector<uint8_t> openErrorPorts;  // the port of each message for a failed open

    std::vector<int32_t> ShownCounts() const {
        std::vector<int32_t> counts;
        for (const Shown& s : shown) counts.push_back(s.count);
        return counts;
    }
    std::vector<std::string> Messages() const {
        std::vector<std::string> messages;
        for (const std::string& entry : log)
            if (entry != "SetTimer" && entry != "KillTimer") messages.push_back(entry);
        return messages;
    }

protected:
    bool UpdateData(bool saveAndValidate) override {
        if (!saveAndValidate) shown.push_back({m_nCount, m_nErrors, m_strAO, m_strPV});
        return true;
    }
    void RepaintNow() override {}
    void ShowMessage(const std::string& text) override { log.push_back(text); }
    void ShowOpenError(const std::string& text, uint8_t comPort) override {
        openErrorPorts.push_back(comPort);
        ShowMessage(text);
    }
    uintptr_t SetTimer(uintptr_t timerId, uint32_t periodMs) override {
        EXPECT_EQ(timerId, kTimerId);
        EXPECT_EQ(periodMs, 2000u);
        log.push_back("SetTimer");
        return setTimerResult;
    }
    bool KillTimer(uintptr_t timerId) override {
        EXPECT_EQ(timerId, kTimerId);
        log.push_back("KillTimer");
        return killTimerResult;
    }
};

class PvMonitorTest : public pvtest::LineFixture {
protected:
    PvMonitorTest() {
        m_monitor.m_pLink = &m_link;
        m_monitor.m_nComPort = pvtest::kComPort;
    }
    void Start(int32_t attempts) {
        m_monitor.m_nAttempts = attempts;
        m_monitor.OnStart();
    }
    void Ticks(int n) {
        for (int i = 0; i < n; ++i) m_monitor.OnTimer(PvMonitor::kTimerId);
    }
    // The counts shown from the first tick on (Start shows the reset counters first).
    std::vector<int32_t> TickCounts() const {
        std::vector<int32_t> counts = m_monitor.ShownCounts();
        counts.erase(counts.begin());
        return counts;
    }

    RecordingMonitor m_monitor;
};

// --- error test --------------------------------------------------------------------------

TEST_F(PvMonitorTest, ErrorTestWithAnAnsweringDeviceCountsOneTwoThreeThenCompletes) {
    PollFirst();
    Start(3);
    ASSERT_EQ(m_monitor.shown.size(), 1u);
    EXPECT_EQ(m_monitor.shown[0].pv, "Error Test");
    Ticks(3);

    EXPECT_THAT(TickCounts(), ElementsAre(1, 2, 3, 3));
    EXPECT_EQ(m_monitor.shown.back().pv, "Complete");
    EXPECT_EQ(m_monitor.shown.back().errors, 0);
    EXPECT_EQ(m_monitor.m_nTimer, 0u);
    EXPECT_FALSE(m_serial.IsOpen());
    EXPECT_THAT(m_monitor.Messages(), IsEmpty());
    EXPECT_EQ(Requests(0), 3);
}

TEST_F(PvMonitorTest, ErrorTestOnASilentLineCountsEveryPollAsAnError) {
    PollFirst();
    m_bSilent = true;
    Start(PvMonitor::kDefaultAttempts);
    Ticks(10);

    EXPECT_EQ(m_monitor.shown.back().count, 10);
    EXPECT_EQ(m_monitor.shown.back().errors, 10);
    EXPECT_EQ(m_monitor.shown.back().pv, "Complete");
    // One attempt per tick: exactly as many polls as Attempts.
    EXPECT_EQ(Requests(0), 10);
    EXPECT_THAT(m_monitor.Messages(), IsEmpty());
    EXPECT_FALSE(m_serial.IsOpen());
}

TEST_F(PvMonitorTest, NegativeAttemptsRunsAnErrorTestThatGoesOnUntilStopped) {
    PollFirst();
    Start(-1);
    Ticks(25);
    EXPECT_NE(m_monitor.m_nTimer, 0u);
    EXPECT_EQ(m_monitor.m_nCount, 26);
    EXPECT_EQ(m_monitor.shown.back().pv, "Error Test");
    EXPECT_TRUE(m_serial.IsOpen());

    m_monitor.OnStop();
    EXPECT_EQ(m_monitor.m_nTimer, 0u);
    EXPECT_FALSE(m_serial.IsOpen());
}

TEST_F(PvMonitorTest, AnErrorTestWithoutEndStopsWhenThePortStopsWorking) {
    PollFirst();
    Start(-1);
    Ticks(3);
    m_serial.HangUpAt(m_clock.NowMs());
    m_monitor.log.clear();
    Ticks(1);
    EXPECT_EQ(m_monitor.Fault(), PvRunFault::PortStopped);
    EXPECT_EQ(m_monitor.m_nTimer, 0u);
    EXPECT_FALSE(m_serial.IsOpen());
    ASSERT_EQ(m_monitor.Messages().size(), 1u);
    EXPECT_EQ(m_monitor.Messages()[0].rfind("The COM port stopped working", 0), 0u);
    EXPECT_EQ(m_monitor.m_nErrors, 0) << "a dead port is no unanswered poll";
}

TEST_F(PvMonitorTest, EachTickWaitsHalfASecondBeforeItsPoll) {
    PollFirst();
    Start(3);
    const uint64_t tickStart = m_clock.NowMs();
    Ticks(1);
    ASSERT_EQ(m_serial.Writes().size(), 1u);
    uint64_t pollAt = 0;
    for (const auto& event : m_serial.Events())
        if (event.kind == FakeSerial::Kind::Write) pollAt = event.atMs;
    EXPECT_GE(pollAt - tickStart, 500u);
}

// --- monitor -----------------------------------------------------------------------------

TEST_F(PvMonitorTest, MonitorTickShowsTheLoopCurrentInMilliampsAndThePvWithThreeDecimals) {
    PollFirst();
    Start(0);
    Ticks(1);
    EXPECT_EQ(m_monitor.shown.back().ao, "12.000 mA");
    EXPECT_EQ(m_monitor.shown.back().pv, "50.000");
    EXPECT_EQ(Requests(3), 1);
}

TEST_F(PvMonitorTest, MonitorRunsOnTickAfterTickUntilStopped) {
    PollFirst();
    Start(0);
    Ticks(4);
    EXPECT_THAT(TickCounts(), ElementsAre(1, 2, 3, 4));
    EXPECT_NE(m_monitor.m_nTimer, 0u);
    EXPECT_EQ(Requests(3), 4);
    EXPECT_THAT(m_monitor.Messages(), IsEmpty());
}

TEST_F(PvMonitorTest, MonitorWithARevisionFourDeviceStopsAtTheFirstTickWithHartError) {
    SetDevices({DeviceWithRevision(4)});
    PollFirst();
    Start(0);
    m_serial.ClearEvents();
    Ticks(1);

    EXPECT_THAT(m_serial.Writes(), IsEmpty());
    EXPECT_THAT(m_monitor.log, ElementsAre("SetTimer", "KillTimer", "HART Error"));
    EXPECT_EQ(m_monitor.m_nTimer, 0u);
    EXPECT_FALSE(m_serial.IsOpen());
}

TEST_F(PvMonitorTest, MonitorTickWithoutAnAnswerStopsWithHartErrorAndKeepsTheLastValues) {
    PollFirst();
    Start(0);
    Ticks(1);
    m_bSilent = true;
    Ticks(1);

    EXPECT_EQ(m_monitor.Messages(), std::vector<std::string>{"HART Error"});
    EXPECT_EQ(m_monitor.shown.back().ao, "12.000 mA");
    EXPECT_EQ(m_monitor.shown.back().pv, "50.000");
    EXPECT_EQ(m_monitor.m_nTimer, 0u);
    EXPECT_FALSE(m_serial.IsOpen());
}

// --- start and stop ----------------------------------------------------------------------

TEST_F(PvMonitorTest, StartOpensThePortAndWaitsASecond) {
    PollFirst();
    const uint64_t before = m_clock.NowMs();
    Start(3);
    EXPECT_TRUE(m_serial.IsOpen());
    EXPECT_EQ(m_serial.OpenedPath(), "\\\\.\\COM3");
    EXPECT_GE(m_clock.NowMs() - before, 1000u);
}

TEST_F(PvMonitorTest, StartTwiceSaysTimerAlreadyActiveAfterResettingTheCounters) {
    PollFirst();
    m_bSilent = true;
    Start(5);
    Ticks(2);
    ASSERT_EQ(m_monitor.m_nErrors, 2);

    Start(5);
    EXPECT_EQ(m_monitor.shown.back().count, 1);
    EXPECT_EQ(m_monitor.shown.back().errors, 0);
    EXPECT_THAT(m_monitor.log, ElementsAre("SetTimer", "Timer already active"));
    EXPECT_NE(m_monitor.m_nTimer, 0u);
    EXPECT_TRUE(m_serial.IsOpen());
}

TEST_F(PvMonitorTest, StopTwiceSaysNoActiveTimersTheSecondTime) {
    PollFirst();
    Start(3);
    m_monitor.OnStop();
    EXPECT_THAT(m_monitor.Messages(), IsEmpty());
    m_monitor.OnStop();
    EXPECT_EQ(m_monitor.Messages(), std::vector<std::string>{"No active timers"});
}

TEST_F(PvMonitorTest, StopWhileIdleLeavesThePortAlone) {
    ASSERT_EQ(m_link.OpenPort(pvtest::kComPort, 1200), kLinkOk);
    m_monitor.OnStop();
    EXPECT_TRUE(m_serial.IsOpen());
}

TEST_F(PvMonitorTest, PortThatFailsToOpenStopsTheTimerBeforeTheMessage) {
    PollFirst();
    m_serial.openStatus = kSerialFileNotFound;
    Start(3);
    EXPECT_THAT(m_monitor.log,
                ElementsAre("SetTimer", "KillTimer",
                            AllOf(StartsWith("Error opening COM port\n"),
                                  EndsWith(": no such device. Is the modem plugged in?"))));
    EXPECT_EQ(m_monitor.openErrorPorts, std::vector<uint8_t>{pvtest::kComPort});
    EXPECT_EQ(m_monitor.m_nTimer, 0u);
}

TEST_F(PvMonitorTest, TimerThatCannotStartIsReportedAndThePortStaysClosed) {
    PollFirst();
    m_monitor.setTimerResult = 0;
    Start(3);
    EXPECT_EQ(m_monitor.Messages(), std::vector<std::string>{"Error starting timer"});
    EXPECT_EQ(m_monitor.m_nTimer, 0u);
    EXPECT_EQ(m_serial.Count(FakeSerial::Kind::Open), 0);
}

TEST_F(PvMonitorTest, TimerThatCannotBeKilledIsReportedAndThePortClosesAnyway) {
    PollFirst();
    Start(3);
    m_monitor.killTimerResult = false;
    m_monitor.OnStop();
    EXPECT_EQ(m_monitor.Messages(), std::vector<std::string>{"Error stopping timer"});
    EXPECT_NE(m_monitor.m_nTimer, 0u);
    EXPECT_FALSE(m_serial.IsOpen());
}

TEST_F(PvMonitorTest, EndRunStopsTheTimerAndClosesThePortWithoutAWord) {
    PollFirst();
    Start(0);
    m_monitor.EndRun();
    EXPECT_EQ(m_monitor.m_nTimer, 0u);
    EXPECT_FALSE(m_serial.IsOpen());
    EXPECT_THAT(m_monitor.Messages(), IsEmpty());
    // The port is free for the next test.
    EXPECT_EQ(m_link.OpenPort(pvtest::kComPort, 1200), kLinkOk);
}

TEST(PvFormatTest, FormatsWithThreeDecimalsRounded) {
    EXPECT_EQ(FormatThreeDecimals(12.0f), "12.000");
    EXPECT_EQ(FormatThreeDecimals(-0.0625f), "-0.062");
    EXPECT_EQ(FormatThreeDecimals(1234.5678f), "1234.568");
}

}  // namespace
