#include <QComboBox>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include "FakeSystem.h"
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

}  // namespace
