#include "portselect/PortDlg.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "FakePortSource.h"
#include "PressEnter.h"
#include "serial/ComPortMap.h"
#include "tests/serial/PtyPair.h"
#include "tests/serial/ScopedConfigHome.h"

namespace {

class PortDlgTest : public ::testing::Test {
protected:
    PortDlgTest() {
        dlg.SetPortSource(ports);
        dlg.m_strPort = QStringLiteral("COM9");
    }

    QLineEdit* PortBox() { return dlg.findChild<QLineEdit*>(QStringLiteral("1016")); }
    QCheckBox* FenwexBox() { return dlg.findChild<QCheckBox*>(QStringLiteral("1022")); }

    QListWidgetItem* Entry(const QString& text) {
        const auto found = dlg.m_listPorts->findItems(text, Qt::MatchExactly);
        return found.isEmpty() ? nullptr : found.first();
    }
    void DoubleClick(const QString& text) {
        QListWidgetItem* item = Entry(text);
        ASSERT_NE(nullptr, item);
        const QPoint centre = dlg.m_listPorts->visualItemRect(item).center();
        QTest::mouseClick(dlg.m_listPorts->viewport(), Qt::LeftButton, {}, centre);
        QTest::mouseDClick(dlg.m_listPorts->viewport(), Qt::LeftButton, {}, centre);
    }
    void Select(const QString& text) {
        QListWidgetItem* item = Entry(text);
        ASSERT_NE(nullptr, item);
        dlg.m_listPorts->setCurrentItem(item);
    }
    // Opens the dialog and shows it, as its modal run does before the user acts.
    void Open() {
        ASSERT_TRUE(dlg.OnInitDialog());
        dlg.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    }

    FakePortSource ports{
        {"USB Serial Port (COM6)", "Communications Port (COM4)", "Virtual Serial Port (COM12)"}};
    PortDlg dlg;
};

TEST_F(PortDlgTest, IsBuiltFromTheEnglishTemplate) {
    EXPECT_EQ(QStringLiteral("Tralvo COM Port"), dlg.windowTitle());
    QStringList labels;
    for (const QLabel* label : dlg.findChildren<QLabel*>()) labels << label->text();
    EXPECT_TRUE(labels.contains(QStringLiteral("Current COM Port:")));
    EXPECT_TRUE(labels.contains(QStringLiteral("Available COM Ports:")));
    ASSERT_NE(nullptr, PortBox());
    EXPECT_TRUE(PortBox()->isReadOnly());
    EXPECT_FALSE(dlg.m_listPorts->isSortingEnabled());
    ASSERT_NE(nullptr, FenwexBox());
    EXPECT_EQ(QStringLiteral("Set to Fenwex COM Port"), FenwexBox()->text());
    EXPECT_TRUE(FenwexBox()->isHidden());
    EXPECT_FALSE(FenwexBox()->isChecked());
    const auto* ok = dlg.findChild<QPushButton*>(QStringLiteral("1"));
    const auto* cancel = dlg.findChild<QPushButton*>(QStringLiteral("2"));
    ASSERT_NE(nullptr, ok);
    ASSERT_NE(nullptr, cancel);
    EXPECT_EQ(QStringLiteral("OK"), ok->text());
    EXPECT_TRUE(ok->isDefault());
    EXPECT_EQ(QStringLiteral("Cancel"), cancel->text());
}

TEST_F(PortDlgTest, OpeningShowsTheCurrentPortAndListsThePortsByNumber) {
    Open();
    EXPECT_EQ(QStringLiteral("COM9"), PortBox()->text());
    ASSERT_EQ(3, dlg.m_listPorts->count());
    EXPECT_EQ(QStringLiteral("COM4"), dlg.m_listPorts->item(0)->text());
    EXPECT_EQ(QStringLiteral("COM6"), dlg.m_listPorts->item(1)->text());
    EXPECT_EQ(QStringLiteral("COM12"), dlg.m_listPorts->item(2)->text());
    EXPECT_EQ(12u, dlg.m_listPorts->item(2)->data(Qt::UserRole).toUInt());
    EXPECT_TRUE(dlg.m_listPorts->selectedItems().isEmpty());
}

TEST_F(PortDlgTest, AFailedEnumerationListsWhatWasFoundUnsorted) {
    const FakePortSource failing({"A (COM10)", "B (COM3)"}, false);
    dlg.SetPortSource(failing);
    EXPECT_FALSE(dlg.OnInitDialog());
    ASSERT_EQ(2, dlg.m_listPorts->count());
    EXPECT_EQ(QStringLiteral("COM10"), dlg.m_listPorts->item(0)->text());
}

TEST_F(PortDlgTest, ADoubleClickTakesTheEntryIntoThePortBox) {
    Open();
    DoubleClick(QStringLiteral("COM4"));
    EXPECT_EQ(QStringLiteral("COM4"), dlg.m_strPort);
    EXPECT_EQ(QStringLiteral("COM4"), PortBox()->text());
    EXPECT_TRUE(dlg.isVisible());
}

TEST_F(PortDlgTest, ADoubleClickWithoutSelectionLeavesTheText) {
    Open();
    dlg.OnDblclkPortList();
    EXPECT_EQ(QStringLiteral("COM9"), dlg.m_strPort);
    EXPECT_EQ(QStringLiteral("COM9"), PortBox()->text());
}

TEST_F(PortDlgTest, OkTakesTheEntrySelectedAtThatMoment) {
    Open();
    DoubleClick(QStringLiteral("COM4"));
    Select(QStringLiteral("COM6"));
    dlg.OnOK();
    EXPECT_EQ(QDialog::Accepted, dlg.result());
    EXPECT_EQ(QStringLiteral("COM6"), dlg.m_strPort);
    EXPECT_FALSE(dlg.m_bSetFenwexPort);
}

TEST_F(PortDlgTest, OkWithNothingSelectedKeepsTheCurrentText) {
    Open();
    dlg.OnOK();
    EXPECT_EQ(QDialog::Accepted, dlg.result());
    EXPECT_EQ(QStringLiteral("COM9"), dlg.m_strPort);
}

TEST_F(PortDlgTest, OkTakesTheStateOfTheHiddenCheckBox) {
    Open();
    FenwexBox()->setChecked(true);
    dlg.OnOK();
    EXPECT_TRUE(dlg.m_bSetFenwexPort);
}

// The modal run itself, answered from inside its event loop.
TEST_F(PortDlgTest, TheModalRunEndsWithOkOnEnter) {
    QTimer::singleShot(0, &dlg, [this] {
        Select(QStringLiteral("COM12"));
        QTest::keyClick(dlg.m_listPorts, Qt::Key_Return);
    });
    EXPECT_EQ(QDialog::Accepted, dlg.RunModal());
    EXPECT_EQ(QStringLiteral("COM12"), dlg.m_strPort);
}

// Enter presses the focused button: on Cancel it cancels. From the list it takes OK, the
// default button, also after Cancel has had the focus.
TEST_F(PortDlgTest, EnterOnTheFocusedCancelCancelsAndFromTheListTakesOk) {
    auto* cancel = dlg.findChild<QPushButton*>(QStringLiteral("2"));
    QTimer::singleShot(0, &dlg, [this, cancel] {
        Select(QStringLiteral("COM12"));
        PressEnterOn(cancel);
    });
    EXPECT_EQ(QDialog::Rejected, dlg.RunModal());
    EXPECT_EQ(QStringLiteral("COM9"), dlg.m_strPort);

    QTimer::singleShot(0, &dlg, [this, cancel] {
        cancel->setFocus(Qt::TabFocusReason);
        Select(QStringLiteral("COM12"));
        PressEnterOn(dlg.m_listPorts);
    });
    EXPECT_EQ(QDialog::Accepted, dlg.RunModal());
    EXPECT_EQ(QStringLiteral("COM12"), dlg.m_strPort);
}

TEST_F(PortDlgTest, TheModalRunEndsWithCancelOnEscapeChangingNothing) {
    QTimer::singleShot(0, &dlg, [this] {
        Select(QStringLiteral("COM12"));
        QTest::keyClick(dlg.m_listPorts, Qt::Key_Escape);
    });
    EXPECT_EQ(QDialog::Rejected, dlg.RunModal());
    EXPECT_EQ(QStringLiteral("COM9"), dlg.m_strPort);
    EXPECT_FALSE(dlg.m_bSetFenwexPort);
}

TEST_F(PortDlgTest, EachEntryShowsWhatThePortIsAndWhere) {
    ScopedConfigHome home;
    PortRecord ftdi{"FT232R USB UART (COM33)", {}};
    ftdi.details.title = "FT232R USB UART";
    ftdi.details.manufacturer = "FTDI";
    ftdi.details.serial = "A10K3XYZ";
    ftdi.details.byId = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A10K3XYZ-if00-port0";
    const FakePortSource described =
        FakePortSource::WithRecords({ftdi, {"Communications Port (COM4)", {}}});
    dlg.SetPortSource(described);
    Open();
    ASSERT_EQ(2, dlg.m_listPorts->count());
    const QListWidgetItem* uart = dlg.m_listPorts->item(0);
    EXPECT_EQ(QStringLiteral("COM4"), uart->text());
    EXPECT_EQ(QStringLiteral("Communications Port"), uart->data(PortDlg::kDescriptionRole));
    EXPECT_EQ(QStringLiteral("/dev/ttyS3"), uart->data(PortDlg::kLocationRole));
    const QListWidgetItem* usb = dlg.m_listPorts->item(1);
    EXPECT_EQ(QStringLiteral("COM33"), usb->text()) << "the entry's text stays the port text";
    EXPECT_EQ(33u, usb->data(Qt::UserRole).toUInt());
    EXPECT_EQ(QStringLiteral("FT232R USB UART - FTDI, serial A10K3XYZ"),
              usb->data(PortDlg::kDescriptionRole));
    EXPECT_EQ(QStringLiteral("/dev/ttyUSB0, by-id usb-FTDI_FT232R_USB_UART_A10K3XYZ-if00-port0"),
              usb->data(PortDlg::kLocationRole));
    EXPECT_TRUE(usb->toolTip().contains(QStringLiteral("serial A10K3XYZ")));
    // Two lines high: the description beside the text, the location under them.
    const QRect rect = dlg.m_listPorts->visualItemRect(usb);
    EXPECT_GE(rect.height(), 2 * dlg.m_listPorts->fontMetrics().lineSpacing());
    DoubleClick(QStringLiteral("COM33"));
    EXPECT_EQ(QStringLiteral("COM33"), PortBox()->text());
}

TEST_F(PortDlgTest, RefreshListsThePortsAgainKeepingTheSelection) {
    auto* refresh = dlg.findChild<QPushButton*>(QStringLiteral("Refresh"));
    ASSERT_NE(nullptr, refresh);
    EXPECT_FALSE(refresh->isDefault());
    Open();
    Select(QStringLiteral("COM6"));
    ports.SetNames({"USB Serial Port (COM6)", "USB Serial Port (COM5)"});
    QTest::mouseClick(refresh, Qt::LeftButton);
    ASSERT_EQ(2, dlg.m_listPorts->count());
    EXPECT_EQ(QStringLiteral("COM5"), dlg.m_listPorts->item(0)->text());
    ASSERT_EQ(1, dlg.m_listPorts->selectedItems().size());
    EXPECT_EQ(QStringLiteral("COM6"), dlg.m_listPorts->selectedItems().first()->text());
    EXPECT_EQ(QStringLiteral("COM9"), PortBox()->text()) << "the current port stays";

    // An entry that went leaves no selection; OK then keeps the current text.
    ports.SetNames({"USB Serial Port (COM5)"});
    EXPECT_TRUE(dlg.OnRefresh());
    EXPECT_TRUE(dlg.m_listPorts->selectedItems().isEmpty());
    dlg.OnOK();
    EXPECT_EQ(QStringLiteral("COM9"), dlg.m_strPort);
}

// An adapter plugged in and pulled out while the dialog is open: the list follows on its
// own, from the monitor's events, and the selected entry stays selected.
TEST_F(PortDlgTest, TheListFollowsAdaptersThatComeAndGo) {
    FakePortMonitor monitor;
    ASSERT_GE(monitor.Descriptor(), 0);
    dlg.SetPortMonitor(monitor);
    Open();
    Select(QStringLiteral("COM12"));

    ports.SetNames({"USB Serial Port (COM6)", "Communications Port (COM4)",
                    "Virtual Serial Port (COM12)", "FT232R USB UART (COM33)"});
    monitor.Send();
    ASSERT_TRUE(QTest::qWaitFor([&] { return dlg.m_listPorts->count() == 4; }, 5000));
    EXPECT_EQ(QStringLiteral("COM33"), dlg.m_listPorts->item(3)->text());
    ASSERT_EQ(1, dlg.m_listPorts->selectedItems().size());
    EXPECT_EQ(QStringLiteral("COM12"), dlg.m_listPorts->selectedItems().first()->text());

    Select(QStringLiteral("COM33"));
    ports.SetNames(
        {"Communications Port (COM4)", "Virtual Serial Port (COM12)", "FT232R USB UART (COM33)"});
    monitor.Send();
    ASSERT_TRUE(QTest::qWaitFor([&] { return dlg.m_listPorts->count() == 3; }, 5000));
    EXPECT_EQ(QStringLiteral("COM4"), dlg.m_listPorts->item(0)->text());
    ASSERT_EQ(1, dlg.m_listPorts->selectedItems().size());
    EXPECT_EQ(QStringLiteral("COM33"), dlg.m_listPorts->selectedItems().first()->text());

    // The selected adapter pulled out: no selection, the others stay.
    ports.SetNames({"Communications Port (COM4)", "Virtual Serial Port (COM12)"});
    monitor.Send();
    ASSERT_TRUE(QTest::qWaitFor([&] { return dlg.m_listPorts->count() == 2; }, 5000));
    EXPECT_TRUE(dlg.m_listPorts->selectedItems().isEmpty());
    dlg.OnOK();
    EXPECT_EQ(QStringLiteral("COM9"), dlg.m_strPort);
}

// The chooser as the README shows it (docs/port-chooser.png): an FTDI cable, a CH340, an
// on-board UART and the simulator's COM200. The picture goes to the build tree, or to
// TRALVO_PORT_CHOOSER_PNG when that is set (how the README's was made).
TEST_F(PortDlgTest, RendersTheReadmePicture) {
    ScopedConfigHome home;
    PtyPair simulator;
    ASSERT_TRUE(simulator.ok());
    ASSERT_TRUE(home.Link(PortLinkPath(200), simulator.slavePath()));
    PortRecord uart{"Communications Port (COM2)", {}};
    uart.details.title = "Communications Port";
    uart.details.driver = "serial";
    PortRecord ftdi{"FT232R USB UART (COM33)", {}};
    ftdi.details.title = "FT232R USB UART";
    ftdi.details.product = "FT232R USB UART";
    ftdi.details.manufacturer = "FTDI";
    ftdi.details.serial = "A10K3XYZ";
    ftdi.details.byId = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A10K3XYZ-if00-port0";
    PortRecord ch340{"USB Serial (COM34)", {}};
    ch340.details.title = "USB Serial";
    ch340.details.product = "USB Serial";
    ch340.details.manufacturer = "QinHeng Electronics";
    ch340.details.byId = "/dev/serial/by-id/usb-1a86_USB_Serial-if00-port0";
    PortRecord sim{"Virtual Serial Port (COM200)", {}};
    sim.details.title = "Virtual Serial Port";
    const FakePortSource machine = FakePortSource::WithRecords({uart, ftdi, ch340, sim});
    dlg.SetPortSource(machine);
    dlg.m_strPort = QStringLiteral("COM33");
    Open();
    Select(QStringLiteral("COM33"));
    dlg.resize(560, 300);
    QApplication::processEvents();
    const QImage picture = dlg.grab().toImage();
    ASSERT_FALSE(picture.isNull());
    const QByteArray wanted = qgetenv("TRALVO_PORT_CHOOSER_PNG");
    const QByteArray buildDir = qgetenv("TRALVO_BUILD_DIR");
    const QString path =
        !wanted.isEmpty()
            ? QString::fromLocal8Bit(wanted)
            : (buildDir.isEmpty() ? QDir::tempPath() : QString::fromLocal8Bit(buildDir)) +
                  QStringLiteral("/port-chooser.png");
    EXPECT_TRUE(picture.save(path, "PNG", 9)) << path.toStdString();
}

TEST_F(PortDlgTest, TheModalAnswerRunsInPlaceOfTheUser) {
    const int result = dlg.DoModal([](PortDlg& answered) {
        answered.m_strPort = QStringLiteral("COM3");
        return int(QDialog::Accepted);
    });
    EXPECT_EQ(QDialog::Accepted, result);
    EXPECT_EQ(QStringLiteral("COM3"), dlg.m_strPort);
}

}  // namespace
