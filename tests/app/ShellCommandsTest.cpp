// The shell commands: About, the troubleshooter launch, and start-up's port restore.
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QThread>

#include "MainWindowFixture.h"
#include "app/AboutDlg.h"
#include "app/Resource.h"
#include "app/TralvoApp.h"
#include "app/TroubleshooterLaunch.h"

namespace {

using ShellCommandsTest = MainWindowFixture;

TEST_F(ShellCommandsTest, HelpAboutShowsTheAboutBoxInEnglishInBothLanguages) {
    StoreLanguage("Chinese");
    QString title;
    QStringList lines;
    bool okIsDefault = false;
    seams.runAbout = [&](CAboutDlg& about) {
        title = about.windowTitle();
        for (const QLabel* label : about.findChildren<QLabel*>()) {
            if (!label->text().isEmpty()) lines << label->text();
        }
        const auto* ok = about.findChild<QPushButton*>(QString::number(IDOK));
        okIsDefault = ok && ok->isDefault() && ok->text() == QStringLiteral("OK");
        return int(QDialog::Accepted);
    };
    OpenWindow();
    MenuCommand(ID_HELP_ABOUT)->trigger();
    EXPECT_EQ(QStringLiteral("About Tralvo"), title);
    ASSERT_EQ(6, lines.size());
    EXPECT_EQ(QStringLiteral("Tralvo Version 1.8"), lines[0]);
    EXPECT_TRUE(okIsDefault);
}

TEST_F(ShellCommandsTest, TheTroubleshooterIsTriedBesideTheProgramThenUnderOpt) {
    QStringList tried;
    seams.startProgram = [&](const QString& program, const QStringList& arguments) {
        tried << program;
        EXPECT_TRUE(arguments.isEmpty());
        return false;
    };
    OpenWindow();
    Button(IDC_COM_TROUBLESHOOTER)->click();
    const QStringList expected = {
        QCoreApplication::applicationDirPath() + QStringLiteral("/com-troubleshooter"),
        QStringLiteral("/opt/Brenlow/Tralvo/com-troubleshooter")};
    EXPECT_EQ(expected, tried);
    EXPECT_TRUE(messages.empty());  // both missing: nothing is reported
}

TEST_F(ShellCommandsTest, AStartedTroubleshooterEndsTheSearch) {
    QStringList tried;
    seams.startProgram = [&](const QString& program, const QStringList&) {
        tried << program;
        return true;
    };
    OpenWindow();
    window->OnComTroubleshooter();
    EXPECT_EQ(QStringList{TroubleshooterPaths().first()}, tried);
}

TEST_F(ShellCommandsTest, TheSecondPathStartsWhenTheFirstIsMissing) {
    const QString marker = QString::fromStdString(home.path()) + "/started";
    const QString program = QString::fromStdString(home.path()) + "/fake-troubleshooter";
    QFile script(program);
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    // The marker appears whole, holding the arguments the program was given.
    script.write(QStringLiteral("#!/bin/sh\necho \"$*\" > '%1.part' && mv '%1.part' '%1'\n")
                     .arg(marker)
                     .toUtf8());
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    EXPECT_TRUE(StartFirstOf({program + "-missing", program}, TroubleshooterPortArguments(40),
                             StartDetached));
    const QDeadlineTimer deadline(10000);
    while (!QFile::exists(marker) && !deadline.hasExpired()) QThread::msleep(5);
    QFile started(marker);
    ASSERT_TRUE(started.open(QIODevice::ReadOnly));
    EXPECT_EQ(started.readAll(), "--port 40\n");
}

TEST_F(ShellCommandsTest, NoInstalledTroubleshooterStartsNothing) {
    EXPECT_FALSE(StartFirstOf({QString::fromStdString(home.path()) + "/none"}, {}, StartDetached));
}

TEST_F(ShellCommandsTest, AFirstRunStoresCom99AndOpensTheChooserDuringInitialisation) {
    CTralvoDlg firstRun;
    RestorePortIntoWindow(firstRun);
    EXPECT_EQ(99, firstRun.m_nComPort);
    EXPECT_TRUE(firstRun.m_bPromptComPort);
    EXPECT_EQ(QStringLiteral("COM99"),
              AppProfile().GetProfileString("Modem Server Preferences", "SearchSerialPort", ""));
}

TEST_F(ShellCommandsTest, AStoredPortIsRestoredWithoutAsking) {
    AppProfile().WriteProfileString("Modem Server Preferences", "SearchSerialPort", "COM12");
    CTralvoDlg window;
    window.m_bPromptComPort = true;
    RestorePortIntoWindow(window);
    EXPECT_EQ(12, window.m_nComPort);
    EXPECT_FALSE(window.m_bPromptComPort);
}

}  // namespace
