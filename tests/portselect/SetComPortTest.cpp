// The Set COM Port command of the main window, with the chooser answered by the test.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <QCheckBox>
#include <QListWidget>
#include <filesystem>
#include <functional>
#include <optional>

#include "FakePortSource.h"
#include "app/TralvoDlg.h"
#include "portselect/PortDlg.h"
#include "settings/Profile.h"
#include "strings/Strings.h"

namespace {

const QString kSection = QStringLiteral("Modem Server Preferences");
const QString kEntry = QStringLiteral("SearchSerialPort");
const QString kAbsent = QStringLiteral("<absent>");

QString StoredPort(const QString& registryKey, const QString& profileName) {
    CProfile store;
    store.m_pszRegistryKey = registryKey;
    store.m_pszProfileName = profileName;
    return store.GetProfileString(kSection, kEntry, kAbsent);
}
QString OwnStoredPort() { return StoredPort("Brenlow", "Tralvo"); }
QString FenwexStoredPort() { return StoredPort("DODE Rizivorovudev Irizovivod", "Fenwex"); }

// What the chooser saw when it opened.
struct SeenByChooser {
    QString portText;
    QString windowStatus;
};

class SetComPortTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Every test starts from no settings at all, as at a first run.
        std::error_code ignored;
        const std::filesystem::path home(getenv("XDG_CONFIG_HOME"));
        std::filesystem::remove(home / "Brenlow" / "Tralvo.conf", ignored);
        std::filesystem::remove(home / "DODE Rizivorovudev Irizovivod" / "Fenwex.conf", ignored);
        AppProfile().m_pszRegistryKey = QStringLiteral("Brenlow");
        AppProfile().m_pszProfileName = QStringLiteral("Tralvo");
    }
    // The window runs its chooser through `chooserAnswer`.
    WindowSeams Seams() {
        WindowSeams seams;
        seams.runPortChooser = [this](PortDlg& dlg) { return chooserAnswer(dlg); };
        return seams;
    }

    // Answers the chooser: `act` plays the user on the opened dialog; the result is OK
    // when it returns true.
    void AnswerChooser(std::function<bool(PortDlg&)> act) {
        chooserAnswer = [this, act](PortDlg& dlg) {
            seen = SeenByChooser{dlg.m_strPort, window.m_strStatus};
            dlg.SetPortSource(ports);
            dlg.OnInitDialog();
            if (!act(dlg)) {
                dlg.reject();
                return int(QDialog::Rejected);
            }
            dlg.OnOK();
            return dlg.result();
        };
    }
    static bool Choose(PortDlg& dlg, const QString& text) {
        const auto items = dlg.m_listPorts->findItems(text, Qt::MatchExactly);
        if (items.isEmpty()) return false;
        dlg.m_listPorts->setCurrentItem(items.first());
        return true;
    }

    FakePortSource ports{{"USB Serial Port (COM6)", "Communications Port (COM4)"}};
    CTralvoDlg window{Seams()};
    std::function<int(PortDlg&)> chooserAnswer;
    std::optional<SeenByChooser> seen;
};

TEST_F(SetComPortTest, TheChooserOpensOnTheCurrentPortWhileTheStatusSaysPortsAreRead) {
    window.m_nComPort = 12;
    window.m_strStatus = QStringLiteral("Test Failed");
    AnswerChooser([](PortDlg&) { return false; });
    window.OnSetComPort();
    ASSERT_TRUE(seen);
    EXPECT_EQ(QStringLiteral("COM12"), seen->portText);
    EXPECT_EQ(LoadString(IDS_READING_COM_PORTS), seen->windowStatus);
}

TEST_F(SetComPortTest, OkTakesTheChosenPortAndStoresIt) {
    window.m_nComPort = 3;
    window.m_strStatus = QStringLiteral("Test Failed");
    AnswerChooser([](PortDlg& dlg) { return Choose(dlg, QStringLiteral("COM6")); });
    window.OnSetComPort();
    EXPECT_EQ(6, window.m_nComPort);
    EXPECT_EQ(QStringLiteral("COM6"), OwnStoredPort());
    EXPECT_EQ(QStringLiteral("Test Failed"), window.m_strStatus);
}

TEST_F(SetComPortTest, OkWithNothingChosenStoresTheCurrentPortAgain) {
    window.m_nComPort = 99;
    AnswerChooser([](PortDlg&) { return true; });
    window.OnSetComPort();
    EXPECT_EQ(99, window.m_nComPort);
    EXPECT_EQ(QStringLiteral("COM99"), OwnStoredPort());
}

TEST_F(SetComPortTest, CancelRestoresTheStatusAndLeavesPortAndSettingsAlone) {
    window.m_nComPort = 7;
    window.m_strStatus = QStringLiteral("Polling...");
    AnswerChooser([](PortDlg& dlg) { return !Choose(dlg, QStringLiteral("COM6")); });
    window.OnSetComPort();
    EXPECT_EQ(7, window.m_nComPort);
    EXPECT_EQ(QStringLiteral("Polling..."), window.m_strStatus);
    EXPECT_EQ(kAbsent, OwnStoredPort());
    EXPECT_EQ(kAbsent, FenwexStoredPort());
}

TEST_F(SetComPortTest, TheFenwexStoreIsUntouchedWhileTheCheckBoxIsUnchecked) {
    AnswerChooser([](PortDlg& dlg) { return Choose(dlg, QStringLiteral("COM4")); });
    window.OnSetComPort();
    EXPECT_EQ(QStringLiteral("COM4"), OwnStoredPort());
    EXPECT_EQ(kAbsent, FenwexStoredPort());
}

TEST_F(SetComPortTest, TheCheckedBoxAlsoWritesTheFenwexStoreAndSwitchesBack) {
    AnswerChooser([](PortDlg& dlg) {
        dlg.findChild<QCheckBox*>(QStringLiteral("1022"))->setChecked(true);
        return Choose(dlg, QStringLiteral("COM4"));
    });
    window.OnSetComPort();
    EXPECT_EQ(QStringLiteral("COM4"), OwnStoredPort());
    EXPECT_EQ(QStringLiteral("COM4"), FenwexStoredPort());
    EXPECT_EQ(QStringLiteral("Brenlow"), AppProfile().m_pszRegistryKey);
    EXPECT_EQ(QStringLiteral("Tralvo"), AppProfile().m_pszProfileName);
}

TEST_F(SetComPortTest, AFirstRunAsksDuringInitialisationAndCancelKeepsPort99) {
    window.m_nComPort = 99;
    window.m_bPromptComPort = true;
    AnswerChooser([](PortDlg&) { return false; });
    window.OnInitDialog();
    ASSERT_TRUE(seen);
    EXPECT_EQ(QStringLiteral("COM99"), seen->portText);
    EXPECT_EQ(99, window.m_nComPort);
    EXPECT_EQ(LoadString(IDS_ENTER_COM_PORT), window.m_strStatus);
}

TEST_F(SetComPortTest, WithAPortStoredInitialisationDoesNotAsk) {
    window.m_nComPort = 5;
    window.m_bPromptComPort = false;
    AnswerChooser([](PortDlg&) { return false; });
    window.OnInitDialog();
    EXPECT_FALSE(seen);
}

}  // namespace
