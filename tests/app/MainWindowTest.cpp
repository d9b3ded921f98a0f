// The main window: what it shows at start, its controls, and how it closes.
#include <QApplication>
#include <QFile>
#include <QGroupBox>
#include <QTest>

#include "MainWindowFixture.h"
#include "app/DialogUnits.h"
#include "app/Resource.h"

namespace {

using MainWindowTest = MainWindowFixture;

TEST_F(MainWindowTest, AfterInitialisationTheBoxesShowTheStartState) {
    OpenWindow(7);
    EXPECT_EQ(QStringLiteral("7"), Box(IDC_COM_PORT)->text());
    EXPECT_EQ(QStringLiteral("Enter Com Port then press Poll"), Box(IDC_STATUS)->text());
    EXPECT_EQ(QStringLiteral(" "), Box(IDC_HART_TAG)->text());
    EXPECT_EQ(QStringLiteral("0"), Box(IDC_HART_ID)->text());
    EXPECT_EQ(QStringLiteral(" "), Box(IDC_HART_ADDRESS)->text());
    EXPECT_EQ(QStringLiteral("Tralvo"), window->windowTitle());
    EXPECT_FALSE(window->windowIcon().isNull());
}

TEST_F(MainWindowTest, OnlyThePortBoxIsEditableAndItTakesDigitsOnly) {
    OpenWindow();
    for (int id : {IDC_STATUS, IDC_HART_TAG, IDC_HART_ID, IDC_HART_ADDRESS}) {
        EXPECT_TRUE(Box(id)->isReadOnly()) << id;
    }
    QLineEdit* port = Box(IDC_COM_PORT);
    EXPECT_FALSE(port->isReadOnly());
    port->clear();
    QTest::keyClicks(port, QStringLiteral("1a2-"));
    EXPECT_EQ(QStringLiteral("12"), port->text());
}

TEST_F(MainWindowTest, TheTestButtonsWithoutAUseAreHidden) {
    OpenWindow();
    window->show();
    EXPECT_FALSE(Button(IDC_PV)->isVisible());
    EXPECT_FALSE(Button(IDC_CONTINUOUS)->isVisible());
    for (const QGroupBox* box : window->findChildren<QGroupBox*>()) {
        EXPECT_EQ(box->title() != QStringLiteral("PV Read"), box->isVisible())
            << box->title().toStdString();
    }
    for (int id : {IDOK, IDC_POLL_HART_NETWORK, IDC_SET_COM_PORT, IDC_COM_TROUBLESHOOTER}) {
        EXPECT_TRUE(Button(id)->isVisible()) << id;
    }
    EXPECT_TRUE(Button(IDOK)->isDefault());
}

TEST_F(MainWindowTest, TabOrderFollowsTheTemplate) {
    OpenWindow();
    std::vector<int> order;
    QWidget* widget = Button(IDOK);
    do {
        bool isNumber = false;
        const int id = widget->objectName().toInt(&isNumber);
        if (isNumber && widget->focusPolicy() & Qt::TabFocus) order.push_back(id);
        widget = widget->nextInFocusChain();
    } while (widget != Button(IDOK));
    const std::vector<int> expected = {
        IDOK,
        IDC_COM_PORT,
        IDC_POLL_HART_NETWORK,
        IDC_STATUS,
        IDC_HART_TAG,
        IDC_HART_ID,
        IDC_HART_ADDRESS,
        IDC_PV,
        IDC_CONTINUOUS,
        IDC_SET_COM_PORT,
        IDC_COM_TROUBLESHOOTER,
        IDC_CANCEL_TEST};  // not in the template, shown only while a test runs: last
    EXPECT_EQ(expected, order);
}

TEST_F(MainWindowTest, PositionsScaleWithTheFont) {
    for (int points : {8, 16}) {
        QFont font = QApplication::font();
        font.setPointSize(points);
        QApplication::setFont(font);
        OpenWindow();
        const DialogUnits units(Button(IDOK)->font());
        EXPECT_EQ(units.ToPixels({221, 31, 68, 14}), Button(IDC_POLL_HART_NETWORK)->geometry());
        EXPECT_EQ(units.ToPixels({239, 98, 76, 14}), Box(IDC_HART_ADDRESS)->geometry());
        EXPECT_EQ(units.ToPixelsX(376), Button(IDOK)->parentWidget()->width());
    }
    QApplication::setFont(QFont());
}

TEST_F(MainWindowTest, DialogUnitsAreQuartersAndEighthsOfTheFont) {
    const DialogUnits units(QApplication::font());
    EXPECT_EQ(QRect(units.BaseUnitX(), units.BaseUnitY(), 2 * units.BaseUnitX(), units.BaseUnitY()),
              units.ToPixels({4, 8, 8, 8}));
    EXPECT_GT(units.BaseUnitX(), 0);
    EXPECT_GT(units.BaseUnitY(), units.BaseUnitX());
}

TEST_F(MainWindowTest, ExitReadsTheBoxesBackAndEndsWithOk) {
    OpenWindow(4);
    window->show();
    Box(IDC_COM_PORT)->setText(QStringLiteral("12"));
    Button(IDOK)->click();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(QDialog::Accepted, window->result());
    EXPECT_EQ(12, window->m_nComPort);
    EXPECT_TRUE(messages.empty());
}

TEST_F(MainWindowTest, ExitWithAnInvalidPortBoxSaysSoAndKeepsTheWindowOpen) {
    OpenWindow(4);
    window->show();
    for (const QString& text : {QStringLiteral("256"), QString()}) {
        messages.clear();
        Box(IDC_COM_PORT)->setText(text);
        Button(IDOK)->click();
        EXPECT_TRUE(window->isVisible());
        EXPECT_EQ(4, window->m_nComPort);
        ASSERT_EQ(1u, messages.size());
        EXPECT_EQ(QMessageBox::Ok, messages[0].buttons);
    }
    EXPECT_EQ(Box(IDC_COM_PORT), window->focusWidget());
}

TEST_F(MainWindowTest, EnterInThePortBoxEndsLikeExit) {
    OpenWindow(4);
    window->show();
    QLineEdit* port = Box(IDC_COM_PORT);
    port->setFocus();
    port->setText(QStringLiteral("255"));
    QTest::keyClick(port, Qt::Key_Return);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(QDialog::Accepted, window->result());
    EXPECT_EQ(255, window->m_nComPort);
}

TEST_F(MainWindowTest, EscapeEndsWithoutReadingBack) {
    OpenWindow(4);
    window->show();
    QLineEdit* port = Box(IDC_COM_PORT);
    port->setFocus();
    port->setText(QStringLiteral("999"));
    QTest::keyClick(port, Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(QDialog::Rejected, window->result());
    EXPECT_EQ(4, window->m_nComPort);
    EXPECT_TRUE(messages.empty());
}

TEST_F(MainWindowTest, TheCloseBoxEndsWithoutReadingBack) {
    OpenWindow(4);
    window->show();
    Box(IDC_COM_PORT)->setText(QStringLiteral("12"));
    window->close();
    EXPECT_EQ(QDialog::Rejected, window->result());
    EXPECT_EQ(4, window->m_nComPort);
}

TEST_F(MainWindowTest, ClosingWritesNoSettings) {
    OpenWindow(4);
    window->show();
    const QString store = QString::fromStdString(home.path()) + "/Brenlow/Tralvo.conf";
    QFile before(store);
    ASSERT_TRUE(before.open(QIODevice::ReadOnly));
    const QByteArray contents = before.readAll();
    const QDateTime modified = QFileInfo(store).lastModified();
    Box(IDC_COM_PORT)->setText(QStringLiteral("12"));
    Button(IDOK)->click();
    window.reset();
    QFile after(store);
    ASSERT_TRUE(after.open(QIODevice::ReadOnly));
    EXPECT_EQ(contents, after.readAll());
    EXPECT_EQ(modified, QFileInfo(store).lastModified());
}

}  // namespace
