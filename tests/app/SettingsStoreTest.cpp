// The settings store: where each store lives, that values reach the disk at once, and
// that a store it cannot use is left alone and reported.
#include <gmock/gmock.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QFile>
#include <QSettings>
#include <filesystem>
#include <fstream>
#include <functional>

#include "Watchdog.h"
#include "serial/ComPortMap.h"
#include "settings/Profile.h"
#include "settings/SettingsTrouble.h"
#include "tests/serial/ScopedConfigHome.h"

namespace {

class SettingsStoreTest : public ::testing::Test {
protected:
    SettingsStoreTest() { own.m_pszRegistryKey = QStringLiteral("Brenlow"); }

    QString FileOf(const char* relative) const {
        return QString::fromStdString(home.path()) + u'/' + QString::fromUtf8(relative);
    }

    std::string PathOf(const char* relative) const { return FileOf(relative).toStdString(); }

    // What the store told the user, as a program that reads settings hears it.
    std::vector<std::pair<SettingsTrouble, QString>> told;
    const SettingsTroubleListener listener{
        [this](SettingsTrouble trouble, const QString& file) { told.emplace_back(trouble, file); }};

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
    EXPECT_THAT(told, ::testing::ElementsAre(::testing::Pair(SettingsTrouble::NotSaved,
                                                             FileOf("Brenlow/Tralvo.conf"))));
}

TEST_F(SettingsStoreTest, AStoreThatIsNotARegularFileIsNeverOpenedAndReportedOnce) {
    namespace fs = std::filesystem;
    const std::string store = PathOf("Brenlow/Tralvo.conf");
    const std::string fifo = PathOf("elsewhere.fifo");
    fs::create_directories(PathOf("Brenlow"));
    ASSERT_EQ(0, mkfifo(fifo.c_str(), 0600));
    // A FIFO itself, a link to one (judged by where it leads), and a folder. Never a link
    // to a real device: a store that wrote through it would replace the device.
    const std::vector<std::function<void()>> standIns = {
        [&] { mkfifo(store.c_str(), 0600); },
        [&] { fs::create_symlink(fifo, store); },
        [&] { fs::create_directory(store); },
    };
    for (const auto& putInPlace : standIns) {
        fs::remove(store);
        putInPlace();
        const auto before = fs::symlink_status(store).type();
        Watchdog watchdog({store, fifo});
        EXPECT_EQ(QStringLiteral("COM99"),
                  own.GetProfileString("Modem Server Preferences", "SearchSerialPort", "COM99"));
        EXPECT_EQ(17, own.GetProfileInt("Tralvo", "COM PORT", 17));
        EXPECT_FALSE(own.WriteProfileString("Settings", "Language", "Chinese"));
        EXPECT_FALSE(watchdog.Dismiss()) << store << " blocked";
        // Left alone: the same kind of thing in its place, and nothing written beside it.
        EXPECT_EQ(before, fs::symlink_status(store).type());
        EXPECT_EQ(1, std::distance(fs::directory_iterator(PathOf("Brenlow")), {}));
    }
    // Three stand-ins, nine refused calls: the user hears once, of the file by its name.
    EXPECT_THAT(told, ::testing::ElementsAre(::testing::Pair(SettingsTrouble::NotARegularFile,
                                                             FileOf("Brenlow/Tralvo.conf"))));
}

TEST_F(SettingsStoreTest, AWriteIsRefusedWhenItsLockFileCannotBeTaken) {
    namespace fs = std::filesystem;
    ASSERT_TRUE(own.WriteProfileString("Settings", "Language", "Chinese"));
    const std::string lock = PathOf("Brenlow/Tralvo.conf.lock");
    // QSettings locks through this file while it writes; none of these ever goes stale.
    const std::vector<std::function<void()>> standIns = {
        [&] { mkfifo(lock.c_str(), 0600); },
        [&] { fs::create_symlink(PathOf("nowhere"), lock); },
        [&] { fs::create_directory(lock); },
    };
    for (const auto& putInPlace : standIns) {
        fs::remove(lock);
        putInPlace();
        Watchdog watchdog({lock});
        EXPECT_FALSE(own.WriteProfileString("Settings", "Language", "English"));
        EXPECT_FALSE(watchdog.Dismiss()) << "the write waited on " << lock;
        EXPECT_EQ(QStringLiteral("Chinese"), own.GetProfileString("Settings", "Language", ""));
    }
    EXPECT_THAT(told, ::testing::ElementsAre(::testing::Pair(SettingsTrouble::NotARegularFile,
                                                             FileOf("Brenlow/Tralvo.conf.lock"))));
}

// A relative XDG_CONFIG_HOME is to be ignored: the settings and the port links must both go
// to ~/.config, not the settings under the working folder and the links elsewhere.
TEST_F(SettingsStoreTest, ARelativeConfigHomeIsIgnoredBySettingsAndPortLinksAlike) {
    const std::string userHome = home.path() + "/user";
    const char* oldHome = getenv("HOME");
    const std::string savedHome = oldHome ? oldHome : "";
    setenv("HOME", userHome.c_str(), 1);
    setenv("XDG_CONFIG_HOME", "relative-config", 1);
    const bool written = own.WriteProfileString("Settings", "Language", "Chinese");
    const std::string linksFolder = PortLinksFolder();
    oldHome ? setenv("HOME", savedHome.c_str(), 1) : unsetenv("HOME");
    setenv("XDG_CONFIG_HOME", home.path().c_str(), 1);

    EXPECT_TRUE(written);
    EXPECT_TRUE(std::filesystem::is_regular_file(userHome + "/.config/Brenlow/Tralvo.conf"));
    EXPECT_FALSE(std::filesystem::exists("relative-config"));
    EXPECT_EQ(linksFolder, userHome + "/.config/Brenlow/Tralvo/ports");
}

// A store file this user may not read gives the defaults, is never written over, and is
// told once. Root reads any file, so the store runs in a child that has become nobody.
TEST_F(SettingsStoreTest, AStoreThatCannotBeReadIsReportedOnceAndNotWrittenOver) {
    namespace fs = std::filesystem;
    const std::string store = PathOf("Brenlow/Tralvo.conf");
    fs::create_directories(PathOf("Brenlow"));
    // Not through QSettings, which would keep what it wrote in memory and never read the file.
    std::ofstream(store) << "[Settings]\nLanguage=Chinese\n";
    fs::permissions(home.path(), fs::perms::all);
    fs::permissions(PathOf("Brenlow"), fs::perms::all);
    ASSERT_EQ(0, chmod(store.c_str(), 0));
    const auto before = fs::file_size(store);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        constexpr gid_t kNobody = 65534;
        if (geteuid() == 0 &&
            (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0))
            _exit(2);
        const bool asExpected =
            own.GetProfileString("Settings", "Language", "English") == "English" &&
            !own.WriteProfileString("Settings", "Language", "English") &&
            told == decltype(told){{SettingsTrouble::Unreadable, FileOf("Brenlow/Tralvo.conf")}};
        _exit(asExpected ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(child, waitpid(child, &status, 0));
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
        << "not the defaults, written, or not told once";
    EXPECT_EQ(before, fs::file_size(store));
}

}  // namespace
