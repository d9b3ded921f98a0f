// The settings store: where each store lives and that values reach the disk at once.
#include <gtest/gtest.h>

#include <QFile>
#include <QSettings>

#include "app/Profile.h"
#include "tests/serial/ScopedConfigHome.h"

namespace {

class SettingsStoreTest : public ::testing::Test {
protected:
    SettingsStoreTest() { own.m_pszRegistryKey = QStringLiteral("Brenlow"); }

    QString FileOf(const char* relative) const {
        return QString::fromStdString(home.path()) + u'/' + QString::fromUtf8(relative);
    }

    ScopedConfigHome home;
    CProfile own;
};

TEST_F(SettingsStoreTest, MissingValuesReadAsTheCallersDefault) {
    EXPECT_EQ(QStringLiteral("COM99"),
              own.GetProfileString("Modem Server Preferences", "SearchSerialPort", "COM99"));
    EXPECT_EQ(17, own.GetProfileInt("Tralvo", "COM PORT", 17));
}

TEST_F(SettingsStoreTest, AWriteIsOnDiskBeforeTheCallReturns) {
    ASSERT_TRUE(own.WriteProfileString("Settings", "Language", "Chinese"));
    // Another reader of the file, as the next start of the program would be.
    const QSettings file(FileOf("Brenlow/Tralvo.conf"), QSettings::IniFormat);
    EXPECT_EQ(QStringLiteral("Chinese"), file.value("Settings/Language").toString());
}

TEST_F(SettingsStoreTest, SectionsAndEntriesKeepTheirBlanks) {
    own.WriteProfileString("Modem Server Preferences", "SearchSerialPort", "COM4");
    EXPECT_EQ(QStringLiteral("COM4"),
              own.GetProfileString("Modem Server Preferences", "SearchSerialPort", ""));
    EXPECT_EQ(QString(),
              own.GetProfileString("Modem Server", "Preferences/SearchSerialPort", QString()));
}

TEST_F(SettingsStoreTest, TheStoreFollowsTheKeyAndProfileNamesOfEachCall) {
    own.m_pszRegistryKey = QStringLiteral("DODE Rizivorovudev Irizovivod");
    own.m_pszProfileName = QStringLiteral("Fenwex");
    own.WriteProfileString("Modem Server Preferences", "SearchSerialPort", "COM8");
    EXPECT_TRUE(QFile::exists(FileOf("DODE Rizivorovudev Irizovivod/Fenwex.conf")));
    EXPECT_FALSE(QFile::exists(FileOf("Brenlow/Tralvo.conf")));

    own.m_pszRegistryKey = QStringLiteral("Brenlow");
    own.m_pszProfileName = QStringLiteral("Tralvo");
    EXPECT_EQ(QStringLiteral("none"),
              own.GetProfileString("Modem Server Preferences", "SearchSerialPort", "none"));
}

TEST_F(SettingsStoreTest, IntegersAreReadFromTheStoredTextAndNonNumbersGiveTheDefault) {
    own.WriteProfileString("Tralvo", "COM PORT", "5");
    EXPECT_EQ(5, own.GetProfileInt("Tralvo", "COM PORT", 0));
    own.WriteProfileString("Tralvo", "COM PORT", "five");
    EXPECT_EQ(-1, own.GetProfileInt("Tralvo", "COM PORT", -1));
}

TEST_F(SettingsStoreTest, AStoreThatCannotBeWrittenReportsFailure) {
    // A plain file where the store's folder should be.
    QFile blocker(FileOf("Brenlow"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    EXPECT_FALSE(own.WriteProfileString("Settings", "Language", "English"));
}

}  // namespace
