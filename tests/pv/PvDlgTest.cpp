#include "app/PvDlg.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <vector>

#include "PressEnter.h"
#include "PvFixture.h"
#include "workflows/PollHartNetwork.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// The main window's poll test with nobody at the window: nothing to read, no to every
// question, errors kept.
class UnattendedTestView : public ITestView {
public:
    void ReadWindow(TestMembers&) override {}
    void ShowMembers(const TestMembers&) override {}
    bool AskYesNo(const QString&, const QString&) override { return false; }
    void ShowOpenError(const QString& text, const QString&, uint8_t) override {
        errors.push_back(text);
    }
    std::vector<QString> errors;
};

class PvDlgTest : public pvtest::LineFixture {
protected:
    void SetUp() override {
        m_dialog.m_messageBox = [this](const QString& text, const QString& caption) {
            m_messages.push_back(text);
            EXPECT_EQ(caption, "PV");
            if (m_onMessage) m_onMessage();
        };
        m_dialog.m_pLink = &m_link;
        m_dialog.m_nComPort = pvtest::kComPort;
    }

    QString Text(int controlId) const { return m_dialog.Box(controlId)->text(); }
    void Type(int controlId, const QString& text) { m_dialog.Box(controlId)->setText(text); }
    void Click(int controlId) { m_dialog.Button(controlId)->click(); }
    void StartWithAttempts(const QString& attempts) {
        Type(pvdlg::kBoxAttempts, attempts);
        Click(pvdlg::kButtonStart);
    }

    PVDlg m_dialog;
    std::vector<QString> m_messages;
    std::function<void()> m_onMessage;
};

TEST_F(PvDlgTest, HasTheTemplatesControlsTitleAndDefaultButton) {
    EXPECT_EQ(m_dialog.windowTitle(), "PV");
    for (int id : {pvdlg::kBoxAo, pvdlg::kBoxPv, pvdlg::kBoxTag, pvdlg::kBoxAttempts,
                   pvdlg::kBoxCount, pvdlg::kBoxErrors})
        EXPECT_NE(m_dialog.Box(id), nullptr) << id;
    for (int id : {pvdlg::kButtonStart, pvdlg::kButtonStop, pvdlg::kButtonOk})
        EXPECT_NE(m_dialog.Button(id), nullptr) << id;
    EXPECT_TRUE(m_dialog.Button(pvdlg::kButtonOk)->isDefault());
    EXPECT_TRUE(m_dialog.Box(pvdlg::kBoxTag)->isReadOnly());
}

TEST_F(PvDlgTest, ShowsTheDefaultsAndTheTagItWasGiven) {
    m_dialog.m_strTag = "TRALVO01";
    m_dialog.UpdateData(false);
    EXPECT_EQ(Text(pvdlg::kBoxAttempts), "10");
    EXPECT_EQ(Text(pvdlg::kBoxCount), "0");
    EXPECT_EQ(Text(pvdlg::kBoxErrors), "0");
    EXPECT_EQ(Text(pvdlg::kBoxAo), "");
    EXPECT_EQ(Text(pvdlg::kBoxPv), "");
    EXPECT_EQ(Text(pvdlg::kBoxTag), "TRALVO01");
}

TEST_F(PvDlgTest, StartReadsAttemptsAndRunsTimerOneEveryTwoSeconds) {
    PollFirst();
    StartWithAttempts("3");
    EXPECT_EQ(m_dialog.m_nAttempts, 3);
    EXPECT_EQ(m_dialog.m_nTimer, PvMonitor::kTimerId);
    EXPECT_TRUE(m_dialog.Timer().isActive());
    EXPECT_EQ(m_dialog.Timer().interval(), 2000);
    EXPECT_EQ(Text(pvdlg::kBoxPv), "Error Test");
    EXPECT_EQ(Text(pvdlg::kBoxCount), "1");
    EXPECT_TRUE(m_serial.IsOpen());
}

TEST_F(PvDlgTest, TimerTicksOnTheEventLoopUntilTheErrorTestCompletes) {
    PollFirst();
    m_dialog.SetTimerPeriodOverride(5);
    StartWithAttempts("3");
    EXPECT_TRUE(QTest::qWaitFor([&] { return !m_dialog.Timer().isActive(); }, 5000));
    EXPECT_EQ(Text(pvdlg::kBoxPv), "Complete");
    EXPECT_EQ(Text(pvdlg::kBoxCount), "3");
    EXPECT_EQ(Text(pvdlg::kBoxErrors), "0");
    EXPECT_EQ(Requests(0), 3);
    EXPECT_FALSE(m_serial.IsOpen());
}

TEST_F(PvDlgTest, PortThatFailsToOpenStopsTheTimerBeforeTheMessageShows) {
    PollFirst();
    m_serial.openStatus = kSerialFileNotFound;
    bool timerActiveAtMessage = true;
    m_onMessage = [&] { timerActiveAtMessage = m_dialog.Timer().isActive(); };
    StartWithAttempts("3");
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_TRUE(m_messages[0].startsWith("Error opening COM port\n"))
        << m_messages[0].toStdString();
    EXPECT_FALSE(timerActiveAtMessage);
    EXPECT_EQ(m_dialog.m_nTimer, 0u);
}

TEST_F(PvDlgTest, EnterPressesTheFocusedButtonAndOkFromABox) {
    PollFirst();
    m_dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&m_dialog));
    Type(pvdlg::kBoxAttempts, "3");
    PressEnterOn(m_dialog.Button(pvdlg::kButtonStart));
    EXPECT_TRUE(m_dialog.Timer().isActive()) << "Start ran";
    EXPECT_TRUE(m_dialog.isVisible());
    PressEnterOn(m_dialog.Button(pvdlg::kButtonStop));
    EXPECT_FALSE(m_dialog.Timer().isActive()) << "Stop ran";
    EXPECT_TRUE(m_dialog.isVisible());
    EXPECT_THAT(m_messages, IsEmpty());
    PressEnterOn(m_dialog.Box(pvdlg::kBoxAttempts));
    EXPECT_FALSE(m_dialog.isVisible());
    EXPECT_EQ(m_dialog.result(), QDialog::Accepted);
}

TEST_F(PvDlgTest, OkDuringARunStopsTheTimerClosesThePortAndEndsTheDialog) {
    PollFirst();
    m_dialog.show();
    StartWithAttempts("0");
    Click(pvdlg::kButtonOk);
    EXPECT_EQ(m_dialog.result(), QDialog::Accepted);
    EXPECT_FALSE(m_dialog.isVisible());
    EXPECT_FALSE(m_dialog.Timer().isActive());
    EXPECT_FALSE(m_serial.IsOpen());
    EXPECT_THAT(m_messages, IsEmpty());
    EXPECT_EQ(m_link.OpenPort(pvtest::kComPort, 1200), kLinkOk);
}

TEST_F(PvDlgTest, EscapeDuringARunStopsTheTimerAndLeavesThePortClosed) {
    PollFirst();
    m_dialog.show();
    StartWithAttempts("0");
    QTest::keyClick(&m_dialog, Qt::Key_Escape);
    EXPECT_EQ(m_dialog.result(), QDialog::Rejected);
    EXPECT_FALSE(m_dialog.isVisible());
    EXPECT_FALSE(m_dialog.Timer().isActive());
    EXPECT_FALSE(m_serial.IsOpen());

    // The poll test afterwards opens the port and passes.
    UnattendedTestView view;
    TestMembers members;
    members.nComPort = pvtest::kComPort;
    EXPECT_EQ(RunPollTest(m_link, view, members), PollOutcome::SingleDevice);
    EXPECT_THAT(view.errors, IsEmpty());
}

TEST_F(PvDlgTest, CloseBoxDuringARunStopsTheTimerAndLeavesThePortClosed) {
    PollFirst();
    m_dialog.show();
    StartWithAttempts("3");
    EXPECT_TRUE(m_dialog.close());
    EXPECT_FALSE(m_dialog.Timer().isActive());
    EXPECT_FALSE(m_serial.IsOpen());
}

TEST_F(PvDlgTest, OkWithANonNumberInABoxKeepsTheDialogOpenButEndsTheRun) {
    PollFirst();
    m_dialog.show();
    StartWithAttempts("3");
    Type(pvdlg::kBoxErrors, "x");
    Click(pvdlg::kButtonOk);
    EXPECT_THAT(m_messages, ElementsAre("Please enter an integer."));
    EXPECT_TRUE(m_dialog.isVisible());
    EXPECT_FALSE(m_serial.IsOpen());
    // The run is over, so the next Start starts afresh.
    Type(pvdlg::kBoxErrors, "0");
    Click(pvdlg::kButtonStart);
    EXPECT_THAT(m_messages, ElementsAre("Please enter an integer."));
    EXPECT_TRUE(m_dialog.Timer().isActive());
    EXPECT_TRUE(m_serial.IsOpen());
}

TEST_F(PvDlgTest, DoModalShowsTheMembersBeforeTheAnswerRuns) {
    m_dialog.m_strTag = "TAG";
    const auto answer = [](PVDlg& dialog) {
        EXPECT_EQ(dialog.Box(pvdlg::kBoxTag)->text(), "TAG");
        return int(QDialog::Accepted);
    };
    EXPECT_EQ(m_dialog.DoModal(answer), QDialog::Accepted);
}

}  // namespace
