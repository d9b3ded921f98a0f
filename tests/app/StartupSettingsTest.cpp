// The COM port that start-up restores, and what it writes while doing so.
#include <gtest/gtest.h>

#include <QDir>

#include "settings/StartupSettings.h"
#include "tests/serial/ScopedConfigHome.h"

namespace {

const char* kSection = "Modem Server Preferences";
const char* kEntry = "SearchSerialPort";

class StartupSettingsTest : public ::testing::Test {
protected:
    StartupSettingsTest() { own.m_pszRegistryKey = QStringLiteral("Brenlow"); }

    RestoredPort RestoreWithStoredText(const QString& text) {
        own.WriteProfileString(kSection, kEntry, text);
        return RestoreComPort(own, true);
    }
    QString StoredPortText() const { return own.GetProfileString(kSection, kEntry, "<absent>"); }
    bool StoreExists() const {
        return QDir(QString::fromStdString(home.path())).exists("Brenlow/Tralvo.conf");
    }

    ScopedConfigHome home;
    CProfile own;
};

TEST_F(StartupSettingsTest, AFirstRunStoresCom99AndAsksForAPort) {
    const RestoredPort port = RestoreComPort(own, true);
    EXPECT_EQ(99, port.nComPort);
    EXPECT_TRUE(port.bPromptComPort);
    EXPECT_EQ(QStringLiteral("COM99"), StoredPortText());
}

TEST_F(StartupSettingsTest, AReadOnlyRestoreOfAFirstRunWritesNothing) {
    const RestoredPort port = RestoreComPort(own, false);
    EXPECT_EQ(99, port.nComPort);
    EXPECT_FALSE(StoreExists());
}

TEST_F(StartupSettingsTest, AStoredCom99AsksAgain) {
    const RestoredPort port = RestoreWithStoredText("COM99");
    EXPECT_EQ(99, port.nComPort);
    EXPECT_TRUE(port.bPromptComPort);
}

TEST_F(StartupSettingsTest, TheOlderPortEntryIsTheFallbackAndNothingIsWritten) {
    own.WriteProfileString("Tralvo", "COM PORT", "5");
    const RestoredPort port = RestoreComPort(own, true);
    EXPECT_EQ(5, port.nComPort);
    EXPECT_FALSE(port.bPromptComPort);
    EXPECT_EQ(QStringLiteral("<absent>"), StoredPortText());
}

TEST_F(StartupSettingsTest, TheOlderPortEntryCountsWithItsLow8Bits) {
    own.WriteProfileString("Tralvo", "COM PORT", "261");
    EXPECT_EQ(5, RestoreComPort(own, true).nComPort);
}

TEST_F(StartupSettingsTest, AStoredPortTextWinsOverTheOlderEntry) {
    own.WriteProfileString("Tralvo", "COM PORT", "5");
    const RestoredPort port = RestoreWithStoredText("COM12");
    EXPECT_EQ(12, port.nComPort);
    EXPECT_FALSE(port.bPromptComPort);
    EXPECT_EQ(QStringLiteral("COM12"), StoredPortText());
}

TEST_F(StartupSettingsTest, PortNumbersKeepTheirLow8Bits) {
    EXPECT_EQ(44, RestoreWithStoredText("COM300").nComPort);
}

TEST_F(StartupSettingsTest, TheComparisonWithCom99IsCaseSensitiveAndThePrefixUnread) {
    EXPECT_EQ(7, RestoreWithStoredText("com7").nComPort);
    const RestoredPort lowerCase99 = RestoreWithStoredText("com99");
    EXPECT_EQ(99, lowerCase99.nComPort);
    EXPECT_FALSE(lowerCase99.bPromptComPort);
}

TEST_F(StartupSettingsTest, TextsWithoutDigitsAfterThePrefixGivePortZero) {
    EXPECT_EQ(0, RestoreWithStoredText("COM").nComPort);
    EXPECT_EQ(0, RestoreWithStoredText("CO").nComPort);
    EXPECT_EQ(0, RestoreWithStoredText("USB-A").nComPort);
}

TEST_F(StartupSettingsTest, OverlongTextsAreReadOverTheirWholeLength) {
    EXPECT_EQ(7, RestoreWithStoredText("COM0000000007").nComPort);
    EXPECT_EQ(static_cast<uint8_t>(1234567890123ULL),
              RestoreWithStoredText("COM1234567890123").nComPort);
}

TEST_F(StartupSettingsTest, NonAsciiPrefixesCountAsOneCharacterEach) {
    EXPECT_EQ(5, RestoreWithStoredText(QStringLiteral("端口号5")).nComPort);
}

}  // namespace
