#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <filesystem>

#include "FakeSystem.h"
#include "serial/ComPortMap.h"
#include "settings/Profile.h"
#include "strings/Strings.h"
#include "tests/serial/ScopedConfigHome.h"
#include "troubleshooter/TroubleshooterLanguage.h"
#include "troubleshooter/TroubleshooterWindow.h"

namespace {

const std::vector<ListedPort> kPorts = {{3, "COM3", "/dev/ttyS2"}, {33, "COM33", "/dev/ttyUSB0"}};

TEST(TroubleshooterWindow, PreselectsTheStoredPort) {
    FakeSystem fake;
    TroubleshooterWindow window(kPorts, 33, fake.roots);
    EXPECT_EQ(window.ChosenPort(), 33u);
}

TEST(TroubleshooterWindow, OffersAStoredPortTheEnumerationDoesNotShow) {
    FakeSystem fake;
    TroubleshooterWindow window(kPorts, 200, fake.roots);
    EXPECT_EQ(window.ChosenPort(), 200u);
    EXPECT_EQ(window.findChild<QComboBox*>()->count(), 3);
}

TEST(TroubleshooterWindow, TakesATypedPortNumber) {
    FakeSystem fake;
    TroubleshooterWindow window(kPorts, 3, fake.roots);
    window.findChild<QComboBox*>()->setEditText("COM65");
    EXPECT_EQ(window.ChosenPort(), 65u);
}

// On a silent line the poll waits out every attempt; it runs behind the window, which
// shows it running and ends it on Cancel.
TEST(TroubleshooterWindow, PollsOnAWorkerThatCancelEnds) {
    FakeSystem fake;
    const std::string device = fake.AddTty("pts9");  // nothing answers on it
    std::filesystem::create_directories(PortLinksFolder());
    std::filesystem::create_symlink(device, PortLinkPath(211));
    TroubleshooterWindow window({}, 211, fake.roots);
    window.findChild<QCheckBox*>()->setChecked(true);
    window.RunChecksNow();
    const auto* list = window.findChild<QTreeWidget*>();
    EXPECT_TRUE(window.Polling());
    EXPECT_EQ(list->topLevelItem(list->topLevelItemCount() - 1)->text(0), "Running");
    window.findChild<QPushButton*>("cancelPoll")->click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window.Polling(); }, 5000));
    std::filesystem::remove(PortLinkPath(211));
    const auto* last = list->topLevelItem(list->topLevelItemCount() - 1);
    EXPECT_EQ(last->text(0), "N/A");
    EXPECT_TRUE(last->text(2).contains("cancelled")) << last->text(2).toStdString();
}

TEST(TroubleshooterWindow, ShowsOneRowPerCheckWithItsOutcome) {
    FakeSystem fake;
    TroubleshooterWindow window(kPorts, 33, fake.roots);  // no ttyUSB0 in the fake tree
    window.RunChecksNow();
    const auto* list = window.findChild<QTreeWidget*>();
    ASSERT_EQ(list->topLevelItemCount(), 5);
    EXPECT_EQ(list->topLevelItem(0)->text(0), "FAIL");
    EXPECT_TRUE(list->topLevelItem(0)->text(2).contains("Fix:"));
    EXPECT_EQ(list->topLevelItem(1)->text(0), "N/A");
}

// Typed into the box and Enter: the checks run for that port (the fake tree has none of
// the devices, so the first row names the device the number maps to).
TEST(TroubleshooterWindow, EnterChecksThePortTypedInAnyOfItsSpellings) {
    FakeSystem fake;
    TroubleshooterWindow window(kPorts, 3, fake.roots);
    auto* box = window.findChild<QComboBox*>();
    const auto* list = window.findChild<QTreeWidget*>();
    const std::pair<const char*, const char*> cases[] = {
        {"COM65", "/dev/ttyACM0"}, {"com66", "/dev/ttyACM1"}, {"67", "/dev/ttyACM2"}};
    for (const auto& [typed, device] : cases) {
        box->setEditText(QString::fromLatin1(typed));
        QTest::keyClick(box->lineEdit(), Qt::Key_Return);
        ASSERT_EQ(list->topLevelItemCount(), 5) << typed;
        EXPECT_TRUE(list->topLevelItem(0)->text(2).contains(QString::fromLatin1(device))) << typed;
    }
}

TEST(TroubleshooterWindow, RefusesATypedTextThatIsNoPort) {
    FakeSystem fake;
    TroubleshooterWindow window(kPorts, 3, fake.roots);
    auto* box = window.findChild<QComboBox*>();
    box->setEditText(QStringLiteral("COM3x"));
    QTest::keyClick(box->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(window.findChild<QTreeWidget*>()->topLevelItemCount(), 0);
    const auto* message = window.findChild<QLabel*>(QStringLiteral("portMessage"));
    EXPECT_FALSE(message->isHidden());
    EXPECT_TRUE(message->text().contains(QStringLiteral("\"COM3x\" is not a port")));
}

// The troubleshooter follows the interface language Tralvo stores.
TEST(TroubleshooterWindow, SpeaksChineseWhenTheStoredLanguageIsChinese) {
    const ScopedConfigHome home;
    AppProfile().m_pszRegistryKey = QStringLiteral("Brenlow");
    ASSERT_TRUE(AppProfile().WriteProfileString("Settings", "Language", "Chinese"));
    ApplyStoredLanguage();
    FakeSystem fake;
    TroubleshooterWindow window(kPorts, 33, fake.roots);
    window.RunChecksNow();
    const QString title = window.windowTitle();
    const QString device = window.findChild<QTreeWidget*>()->topLevelItem(0)->text(1);
    SetStringLanguage(QStringLiteral("English"));
    EXPECT_EQ(title, QStringLiteral("Tralvo COM故障排除"));
    EXPECT_EQ(device, QStringLiteral("设备"));
}

}  // namespace
