// Enter on a focused push button presses that button; elsewhere the window's or the box's
// default button takes it.
#include <QTest>

#include "MainWindowFixture.h"
#include "PressEnter.h"
#include "app/AboutDlg.h"
#include "app/Resource.h"
#include "portselect/PortDlg.h"

namespace {

using KeyboardTest = MainWindowFixture;

TEST_F(KeyboardTest, EnterOnAFocusedButtonOfTheWindowPressesItAndInThePortBoxExits) {
    int chooserRuns = 0;
    seams.runPortChooser = [&](PortDlg&) {
        ++chooserRuns;
        return int(QDialog::Rejected);
    };
    int troubleshooterStarts = 0;
    seams.startProgram = [&](const QString&, const QStringList&) {
        ++troubleshooterStarts;
        return true;
    };
    OpenWindow(4);
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));

    PressEnterOn(Button(IDC_SET_COM_PORT));
    EXPECT_EQ(chooserRuns, 1);
    PressEnterOn(Button(IDC_COM_TROUBLESHOOTER));
    EXPECT_EQ(troubleshooterStarts, 1);
    EXPECT_TRUE(window->isVisible());

    PressEnterOn(Box(IDC_COM_PORT));
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->result(), QDialog::Accepted);
    EXPECT_EQ(chooserRuns, 1);
}

TEST_F(KeyboardTest, EnterOnTheAboutBoxsOkClosesIt) {
    CAboutDlg about;
    about.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&about));
    PressEnterOn(about.findChild<QPushButton*>(QString::number(IDOK)));
    EXPECT_FALSE(about.isVisible());
    EXPECT_EQ(about.result(), QDialog::Accepted);
}

}  // namespace
