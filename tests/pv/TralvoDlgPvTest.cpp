#include <gtest/gtest.h>

#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include <fstream>
#include <functional>

#include "app/OpenErrorBox.h"
#include "app/PvDlg.h"
#include "app/TralvoDlg.h"
#include "serial/ComPortMap.h"
#include "tests/serial/ScopedConfigHome.h"

namespace {

constexpr int kPvButton = 1007;

// The PV command of the main window, through its hidden button.
class TralvoDlgPvTest : public ::testing::Test {
protected:
    // The window's boxes, monitor and program starts, answered by the members below.
    WindowSeams Seams() {
        WindowSeams seams;
        seams.message = [this](const QString& text, const QString& caption, int buttons, int icon) {
            m_messages.push_back({text, caption, buttons, icon});
            return m_reply;
        };
        seams.runPv = [this](PVDlg& dialog) { return m_answerMonitor(dialog); };
        seams.startProgram = [this](const QString&, const QStringList& arguments) {
            m_startedArguments = arguments;
            return true;
        };
        return seams;
    }
    void PressPv() { m_window.findChild<QPushButton*>(QString::number(kPvButton))->click(); }

    struct Message {
        QString text;
        QString caption;
        int buttons;
        int icon;
    };
    CTralvoDlg m_window{Seams()};
    std::vector<Message> m_messages;
    int m_reply = QMessageBox::Ok;
    int m_monitorRuns = 0;
    CHartLink* m_pLinkSeen = nullptr;
    QString m_tagSeen;
    uint8_t m_portSeen = 0;
    QWidget* m_parentSeen = nullptr;
    std::function<int(PVDlg&)> m_answerMonitor = [this](PVDlg& dialog) {
        ++m_monitorRuns;
        m_pLinkSeen = dialog.m_pLink;
        m_tagSeen = dialog.Box(pvdlg::kBoxTag)->text();
        m_portSeen = dialog.m_nComPort;
        m_parentSeen = dialog.parentWidget();
        return int(QDialog::Accepted);
    };
    QStringList m_startedArguments;
};

TEST_F(TralvoDlgPvTest, SaysMustPollFirstWhileNoDeviceHasBeenPolled) {
    m_window.m_nHartId = 0;
    PressPv();
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_EQ(m_messages[0].text, "Must Poll first");
    EXPECT_EQ(m_messages[0].caption, "POLL");
    EXPECT_EQ(m_messages[0].buttons, int(QMessageBox::Ok));
    EXPECT_EQ(m_messages[0].icon, int(QMessageBox::Critical));
    EXPECT_EQ(m_monitorRuns, 0);
}

TEST_F(TralvoDlgPvTest, OpensTheMonitorOnTheWindowsLinkPortAndTag) {
    m_window.m_nHartId = 1193046;
    m_window.m_strTag = QStringLiteral("TRALVO01");
    m_window.m_nComPort = 7;
    PressPv();
    EXPECT_TRUE(m_messages.empty());
    EXPECT_EQ(m_monitorRuns, 1);
    EXPECT_EQ(m_pLinkSeen, &m_window.m_link);
    EXPECT_EQ(m_tagSeen, "TRALVO01");
    EXPECT_EQ(m_portSeen, 7);
    EXPECT_EQ(m_parentSeen, &m_window);
}

// Start in the monitor on a port that does not open: the window's box says why, over the
// monitor, and its Troubleshoot... starts the troubleshooter on that port.
TEST_F(TralvoDlgPvTest, APortThatDoesNotOpenOffersTheTroubleshooterForIt) {
    const ScopedConfigHome home;
    const std::string file = home.path() + "/capture.log";
    std::ofstream(file) << "not a tty";
    ASSERT_TRUE(home.Link(PortLinkPath(40), file));
    m_answerMonitor = [](PVDlg& dialog) {
        dialog.Button(pvdlg::kButtonStart)->click();
        dialog.reject();
        return int(QDialog::Rejected);
    };
    m_reply = kTroubleshootButton;
    m_window.m_nHartId = 1193046;
    m_window.m_nComPort = 40;
    PressPv();
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_EQ(m_messages[0].text.toStdString(),
              "Error opening COM port\nCOM40 (" + file + ") is not a serial port.");
    EXPECT_EQ(m_messages[0].caption, "PV");
    EXPECT_EQ(m_messages[0].buttons, QMessageBox::Ok | kTroubleshootButton);
    EXPECT_EQ(m_startedArguments, QStringList({"--port", "40"}));
}

}  // namespace
