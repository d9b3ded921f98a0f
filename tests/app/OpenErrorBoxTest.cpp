// The window's box for a port that did not open: why, and Troubleshoot... which starts the
// troubleshooter on that port through the window's program starter.
#include <QApplication>
#include <QTest>
#include <QTimer>
#include <fstream>

#include "MainWindowFixture.h"
#include "app/OpenErrorBox.h"
#include "app/Resource.h"
#include "app/TroubleshooterLaunch.h"
#include "serial/ComPortMap.h"

namespace {

struct Started {
    QString program;
    QStringList arguments;
};

class OpenErrorBoxTest : public MainWindowFixture {
protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        seams.startProgram = [this](const QString& program, const QStringList& args) {
            started.push_back({program, args});
            return true;
        };
    }
    // COM<com> leads to a plain file, which the port class refuses as no tty.
    std::string PlugAFile(unsigned com) {
        const std::string file = home.path() + "/capture.log";
        std::ofstream(file) << "not a tty";
        EXPECT_TRUE(home.Link(PortLinkPath(com), file));
        return file;
    }
    // Acts on the real box once it is up; the box's modal run returns what was pressed.
    void WhenTheBoxShows(std::function<void(QMessageBox&)> act) {
        QTimer::singleShot(0, [act] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            act(*box);
        });
    }

    std::vector<Started> started;
};

TEST_F(OpenErrorBoxTest, APollThatCannotOpenSaysWhyAndTroubleshootChecksThatPort) {
    const std::string file = PlugAFile(40);
    OpenWindow(40);
    window->OnPollHartNetwork();  // the user closes the box with OK
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text.toStdString(),
              "Error opening COM port\nCOM40 (" + file + ") is not a serial port.");
    EXPECT_EQ(messages[0].caption, "POLL");
    EXPECT_EQ(messages[0].buttons, QMessageBox::Ok | kTroubleshootButton);
    EXPECT_EQ(messages[0].icon, QMessageBox::Critical);
    EXPECT_EQ(Box(IDC_STATUS)->text(), "COM Port Error");
    EXPECT_TRUE(started.empty());

    reply = kTroubleshootButton;
    window->OnPollHartNetwork();
    ASSERT_EQ(started.size(), 1u);
    EXPECT_EQ(started[0].program, TroubleshooterPaths().first());
    EXPECT_EQ(started[0].arguments, QStringList({"--port", "40"}));
}

TEST_F(OpenErrorBoxTest, TheRealBoxOffersTroubleshootBesideOkWhichStaysTheDefault) {
    seams.message = {};
    OpenWindow(40);
    QStringList buttons;
    bool okIsDefault = false;
    WhenTheBoxShows([&](QMessageBox& box) {
        for (QAbstractButton* button : box.buttons()) buttons << button->text();
        okIsDefault = box.defaultButton() == box.button(QMessageBox::Ok);
        box.button(QMessageBox::Help)->click();
    });
    window->ShowOpenError("Error opening COM port\n/dev/ttyUSB0 is held by minicom (PID 4242).",
                          "POLL", 33);
    EXPECT_TRUE(buttons.contains("OK"));
    EXPECT_TRUE(buttons.contains("Troubleshoot..."));
    EXPECT_TRUE(okIsDefault);
    ASSERT_EQ(started.size(), 1u);
    EXPECT_EQ(started[0].arguments, QStringList({"--port", "33"}));
}

TEST_F(OpenErrorBoxTest, EscapeClosesTheRealBoxWithoutTroubleshootingAndEnterPressesTheFocused) {
    seams.message = {};
    OpenWindow(40);
    WhenTheBoxShows([](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Escape); });
    window->ShowOpenError("Error opening COM port", "POLL", 33);
    EXPECT_TRUE(started.empty());

    WhenTheBoxShows([](QMessageBox& box) {
        QAbstractButton* troubleshoot = box.button(QMessageBox::Help);
        troubleshoot->setFocus();
        QTest::keyClick(troubleshoot, Qt::Key_Return);
    });
    window->ShowOpenError("Error opening COM port", "POLL", 33);
    EXPECT_EQ(started.size(), 1u);
}

}  // namespace
