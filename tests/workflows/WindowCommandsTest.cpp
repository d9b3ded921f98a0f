// The main window's Poll and Continuous commands on the window's own link, in real time
// against simulated devices plugged in as a COM port.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <chrono>

#include "app/OpenErrorBox.h"
#include "app/PvDlg.h"
#include "app/Resource.h"
#include "serial/ComPortMap.h"
#include "sim/ServedPty.h"
#include "tests/app/MainWindowFixture.h"
#include "tests/sim/SimProcess.h"

namespace {

size_t IdentityPollsHeard(const std::string& simTrace) {
    const std::string poll =
        "<- FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF 02 00 00 00 02";
    size_t n = 0;
    for (size_t at = simTrace.find(poll); at != std::string::npos; at = simTrace.find(poll, at + 1))
        ++n;
    return n;
}

class WindowCommands : public MainWindowFixture {
protected:
    void TearDown() override {
        if (window) window->StopBackgroundWork();
        TheSerialPort().Close();
        MainWindowFixture::TearDown();
    }
    QString Text(int id) const { return Box(id)->text(); }
    // Plugs an in-process simulator in as COM<com>.
    void PlugDevices(unsigned com, const std::vector<sim::DeviceConfig>& devices,
                     const sim::Behaviour& behaviour = {}) {
        m_line =
            std::make_unique<sim::ServedPty>(sim::LineTiming{.fast = true}, devices, behaviour);
        ASSERT_TRUE(m_line->ok());
        ASSERT_TRUE(home.Link(PortLinkPath(com), m_line->SlavePath()));
    }
    // tralvo-sim as COM<com>, tracing what it hears.
    void StartSim(unsigned com) {
        m_sim = std::make_unique<SimProcess>(
            std::vector<std::string>{"--link", "COM" + std::to_string(com), "--trace"});
        ASSERT_TRUE(m_sim->WaitForOutput("\n")) << m_sim->Stderr();
    }
    bool WaitForPollsHeard(size_t count) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(15);
        while (IdentityPollsHeard(m_sim->Stdout()) < count) {
            if (std::chrono::steady_clock::now() > end) return false;
            m_sim->WaitForOutput("\n<never printed>", 100);
        }
        return true;
    }

    std::unique_ptr<sim::ServedPty> m_line;
    std::unique_ptr<SimProcess> m_sim;
};

TEST_F(WindowCommands, PollShowsASingleDevicePassInTheFourBoxes) {
    sim::DeviceConfig device = sim::DefaultDevice(0);
    device.tag = "PT101";
    device.deviceId = 0x123456;
    PlugDevices(231, {device});
    OpenWindow(231);
    window->OnPollHartNetwork();
    EXPECT_EQ(Text(IDC_STATUS), "Test Pass, single device");
    EXPECT_EQ(Text(IDC_HART_TAG), "PT101   ");
    EXPECT_EQ(Text(IDC_HART_ID), "1193046");
    EXPECT_EQ(Text(IDC_HART_ADDRESS), "0");
    EXPECT_EQ(window->m_nHartId, 1193046u);
    EXPECT_FALSE(TheSerialPort().IsOpen());
}

TEST_F(WindowCommands, PollTakesThePortFromThePortBox) {
    OpenWindow(231);
    Box(IDC_COM_PORT)->setText("0");
    window->OnPollHartNetwork();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "Error opening COM port");
    EXPECT_EQ(messages[0].caption, "POLL");
    EXPECT_EQ(messages[0].buttons, int(QMessageBox::Ok));
    EXPECT_EQ(messages[0].icon, int(QMessageBox::Critical));
    EXPECT_EQ(Text(IDC_STATUS), "COM Port Error");
    EXPECT_EQ(window->m_nComPort, 0);
}

TEST_F(WindowCommands, SilentLineAsksTheMultiDropQuestionAsAYesNoBox) {
    sim::Behaviour silent;
    silent.silent = true;
    PlugDevices(232, {}, silent);
    OpenWindow(232);
    reply = QMessageBox::No;
    window->OnPollHartNetwork();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "No devices at address 0.  Multi-drop Poll?");
    EXPECT_EQ(messages[0].caption, "POLL");
    EXPECT_EQ(messages[0].buttons, int(QMessageBox::Yes | QMessageBox::No));
    EXPECT_EQ(messages[0].icon, int(QMessageBox::Question));
    EXPECT_EQ(Text(IDC_STATUS), "Test Failed");
    EXPECT_EQ(Text(IDC_HART_TAG), " ");
    EXPECT_EQ(Text(IDC_HART_ADDRESS), " ");
}

TEST_F(WindowCommands, ContinuousSendRunsWhileTheWindowServesAndStopsWhenItCloses) {
    StartSim(233);
    OpenWindow(233);
    window->m_nHartId = 42;
    window->UpdateData(false);
    window->OnContinuous();  // returns at once; the polls go on
    EXPECT_EQ(Text(IDC_STATUS), "Continous send...");
    EXPECT_EQ(Text(IDC_HART_ADDRESS), "");
    EXPECT_EQ(window->m_nHartId, 0u);
    ASSERT_TRUE(WaitForPollsHeard(3));
    window->reject();  // Escape
    EXPECT_FALSE(TheSerialPort().IsOpen());
    EXPECT_TRUE(messages.empty());
}

TEST_F(WindowCommands, APollDuringAContinuousSendIsRefusedUntilItIsCancelled) {
    StartSim(234);
    OpenWindow(234);
    window->OnContinuous();
    ASSERT_TRUE(WaitForPollsHeard(2));
    EXPECT_TRUE(Button(IDC_CANCEL_TEST)->isVisibleTo(window.get()));
    EXPECT_FALSE(Button(IDC_POLL_HART_NETWORK)->isEnabled());
    window->OnPollHartNetwork();  // refused, not queued
    EXPECT_EQ(Text(IDC_STATUS), "Continous send...");

    Button(IDC_CANCEL_TEST)->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return Text(IDC_STATUS) == "Test cancelled"; }, 5000));
    // The run's link figures, below the template's status.
    const QString figures = window->findChild<QWidget*>(QString::number(IDC_STATUS))->toolTip();
    EXPECT_TRUE(figures.startsWith("Link: ")) << figures.toStdString();
    EXPECT_FALSE(figures.contains(" 0 answered")) << figures.toStdString();
    EXPECT_FALSE(TheSerialPort().IsOpen());
    EXPECT_FALSE(Button(IDC_CANCEL_TEST)->isVisibleTo(window.get()));
    window->OnPollHartNetwork();
    EXPECT_EQ(Text(IDC_STATUS), "Test Pass, single device");
    EXPECT_EQ(Text(IDC_HART_TAG), "TRALVO01");
}

TEST_F(WindowCommands, ContinuousSendOnPortZeroShowsThePortError) {
    OpenWindow(0);
    window->OnContinuous();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "Error opening COM port");
    EXPECT_EQ(messages[0].caption, "POLL");
    EXPECT_EQ(messages[0].icon, int(QMessageBox::Critical));
    EXPECT_EQ(Text(IDC_STATUS), "COM Port Error");
    EXPECT_EQ(Text(IDC_HART_ID), "0");
    EXPECT_FALSE(TheSerialPort().IsOpen());
}

TEST_F(WindowCommands, ContinuousSendKeepsItsEnglishStatusAndTheChineseCaption) {
    StoreLanguage("Chinese");
    OpenWindow(0);
    window->OnContinuous();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "Error opening COM port");
    EXPECT_EQ(messages[0].caption, QString::fromUtf8("投票"));
    EXPECT_EQ(Text(IDC_STATUS), "COM Port Error");
}

// --- bad lines: the window stays responsive and honest ---------------------------------

using Clock = std::chrono::steady_clock;

TEST_F(WindowCommands, ClosingTheWindowDuringAPollEndsTheTestAtOnce) {
    sim::Behaviour silent;
    silent.silent = true;
    PlugDevices(235, {}, silent);
    OpenWindow(235);
    // The window serves its events while the test waits on the line: Escape gets through.
    Clock::time_point closed;
    QTimer::singleShot(300, window.get(), [&] {
        window->reject();
        closed = Clock::now();
    });
    window->OnPollHartNetwork();
    EXPECT_LT(Clock::now() - closed, std::chrono::milliseconds(500))
        << "the test must end with the window, not finish its waits";
    EXPECT_TRUE(messages.empty()) << "no multi-drop question after closing";
    EXPECT_FALSE(TheSerialPort().IsOpen());
}

TEST_F(WindowCommands, AContinuousSendWhoseDeviceVanishesSaysThePortStoppedWorking) {
    sim::Behaviour vanishing;
    vanishing.vanishAfter = 2;
    PlugDevices(236, {sim::DefaultDevice(0)}, vanishing);
    OpenWindow(236);
    window->OnContinuous();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !messages.empty(); }, 15000));
    EXPECT_TRUE(messages[0].text.startsWith("The COM port stopped working"));
    EXPECT_EQ(messages[0].icon, int(QMessageBox::Critical));
    // The device is gone: the troubleshooter is offered for the port, as when it won't open.
    EXPECT_TRUE(messages[0].buttons & kTroubleshootButton);
    EXPECT_EQ(Text(IDC_STATUS), "COM Port Error");
    EXPECT_FALSE(TheSerialPort().IsOpen());
}

TEST_F(WindowCommands, ThePvDialogClosesAtOnceWhileATickWaitsForAnAnswer) {
    sim::Behaviour silent;
    silent.silent = true;
    PlugDevices(237, {}, silent);
    CSerial port;
    CHartLink link(port, SystemClock());
    PVDlg dialog;
    dialog.m_pLink = &link;
    dialog.m_nComPort = 237;
    dialog.SetTimerPeriodOverride(10);
    dialog.m_messageBox = [](const QString&, const QString&) {};
    dialog.Box(pvdlg::kBoxAttempts)->setText("5");
    dialog.Button(pvdlg::kButtonStart)->click();
    ASSERT_TRUE(port.IsOpen());

    // By then the first tick's poll is waiting for its reply, which takes over a second.
    Clock::duration closing{};
    QTimer::singleShot(900, &dialog, [&] {
        const auto start = Clock::now();
        dialog.reject();
        closing = Clock::now() - start;
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return closing != Clock::duration{}; }, 10000));
    EXPECT_LT(closing, std::chrono::milliseconds(700));
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(dialog.m_nTimer, 0u);
}

}  // namespace
