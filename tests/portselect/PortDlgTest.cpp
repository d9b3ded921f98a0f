#include "portselect/PortDlg.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "FakePortSource.h"
#include "PressEnter.h"

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

TEST_F(PortDlgTest, TheModalHookAnswersInPlaceOfTheUser) {
    PortDlg::SetModalHook([](PortDlg& answered) {
        answered.m_strPort = QStringLiteral("COM3");
        return int(QDialog::Accepted);
    });
    const int result = dlg.DoModal();
    PortDlg::SetModalHook({});
    EXPECT_EQ(QDialog::Accepted, result);
    EXPECT_EQ(QStringLiteral("COM3"), dlg.m_strPort);
}

}  // namespace
