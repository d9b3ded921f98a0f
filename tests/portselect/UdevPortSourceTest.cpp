// The libudev source against this machine: whatever ports it has, libudev and the plain
// sysfs reader must find the same ones under the same names.
#include "portselect/UdevPortSource.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <poll.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "portselect/SysfsPortSource.h"
#include "serial/ComPortMap.h"
#include "tests/serial/PtyPair.h"
#include "tests/serial/ScopedConfigHome.h"

namespace {

TEST(UdevPortSourceTest, FindsWhatSysfsFindsOnThisMachine) {
    ScopedConfigHome home;
    std::vector<std::string> udevNames, sysfsNames;
    EXPECT_TRUE(UdevPortSource(NumberAssignment::ListOnly).ReadFriendlyNames(udevNames));
    EXPECT_TRUE(SysfsPortSource("/sys/class/tty", "/dev", NumberAssignment::ListOnly)
                    .ReadFriendlyNames(sysfsNames));
    EXPECT_EQ(sysfsNames, udevNames);
}

TEST(UdevPortSourceTest, ListingOnlyLeavesThePortsFolderAlone) {
    ScopedConfigHome home;
    std::vector<PortRecord> records;
    SystemPortSource(NumberAssignment::ListOnly).ReadPorts(records);
    EXPECT_FALSE(std::filesystem::exists(PortLinksFolder()));
}

TEST(UdevPortSourceTest, TheSystemSourceListsTheLinksOfThePortsFolder) {
    ScopedConfigHome home;
    const PtyPair pty;
    ASSERT_TRUE(home.Link(PortLinkPath(200), pty.slavePath()));
    std::vector<std::string> names;
    SystemPortSource().ReadFriendlyNames(names);
    EXPECT_THAT(names, ::testing::Contains("Virtual Serial Port (COM200)"));
}

// Taking the events never blocks, whether or not anything can be watched here.
TEST(UdevPortMonitorTest, TakingEventsDoesNotBlock) {
    UdevPortMonitor monitor;
    const auto start = std::chrono::steady_clock::now();
    monitor.TakeEvents();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    if (monitor.Descriptor() >= 0) {
        pollfd watched{monitor.Descriptor(), POLLIN, 0};
        EXPECT_GE(poll(&watched, 1, 0), 0);
    }
}

}  // namespace
