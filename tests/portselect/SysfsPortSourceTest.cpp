#include "portselect/SysfsPortSource.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>
#include <vector>

#include "FakeSysfs.h"
#include "tests/serial/PtyPair.h"
#include "tests/serial/ScopedConfigHome.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class SysfsPortSourceTest : public ::testing::Test {
protected:
    std::vector<std::string> Names(bool expectComplete = true) const {
        std::vector<std::string> names;
        EXPECT_EQ(expectComplete,
                  SysfsPortSource(sysfs.ClassFolder(), sysfs.DevFolder()).ReadFriendlyNames(names));
        return names;
    }
    void PlugLink(const std::string& com, const std::string& target) const {
        ASSERT_TRUE(home.Link(home.path() + "/Brenlow/Tralvo/ports/" + com, target));
    }

    ScopedConfigHome home;
    FakeSysfs sysfs;
    PtyPair pty;  // a simulator's line
};

TEST_F(SysfsPortSourceTest, OnBoardUartsAreCommunicationsPortsAndEmptySlotsAreSkipped) {
    sysfs.AddUart("ttyS0", "4\n");
    sysfs.AddUart("ttyS1", "0\n");
    sysfs.AddUart("ttyS2", "unknown\n");
    sysfs.AddUart("ttyS3", "16550A\n");
    EXPECT_THAT(Names(), ElementsAre("Communications Port (COM1)", "Communications Port (COM4)"));
}

// The phantom rule is the 8250's: a ttySC port with type 0 is still a port.
TEST_F(SysfsPortSourceTest, OnlyTtySSlotsCanBePhantoms) {
    sysfs.AddOther("ttySC0", "sc16is7xx");
    sysfs.Write(sysfs.ClassFolder() + "/ttySC0/type", "0\n");
    EXPECT_THAT(Names(), ElementsAre("sc16is7xx (COM180)"));
}

TEST_F(SysfsPortSourceTest, UsbPortsAreNamedByInterfaceThenProductThenDriver) {
    sysfs.AddUsbSerial("ttyUSB0", "FT232R USB UART");
    sysfs.AddUsbSerial("ttyUSB1", "Dual RS232", "HART Modem Channel");
    sysfs.AddAcm("ttyACM0", "", "Bell 202 Modem");
    sysfs.AddAcm("ttyACM1", "", "");
    EXPECT_THAT(Names(), ElementsAre("FT232R USB UART (COM33)", "HART Modem Channel (COM34)",
                                     "Bell 202 Modem (COM65)", "cdc_acm (COM66)"));
}

TEST_F(SysfsPortSourceTest, OtherDevicesAreNamedByTheirDriverElseTheirTty) {
    sysfs.AddOther("rfcomm0", "");
    sysfs.AddOther("ttyUSB2", "ch341-uart");
    EXPECT_THAT(Names(), ElementsAre("ch341-uart (COM35)", "rfcomm0 (COM100)"));
}

TEST_F(SysfsPortSourceTest, OnlyTtysWithADeviceInAComRangeAreListed) {
    sysfs.AddWithoutDevice("tty1");
    sysfs.AddWithoutDevice("ptmx");
    sysfs.AddWithoutDevice("ttyUSB3");
    sysfs.AddOther("ttyUSB32", "ftdi_sio");    // past the 32 numbers of its range
    sysfs.AddOther("ttyAMA16", "uart-pl011");  // past the 16 of its range
    sysfs.AddOther("ttyGS0", "g_serial");
    sysfs.AddOther("ttyUSB01", "ftdi_sio");
    EXPECT_THAT(Names(), IsEmpty());
}

TEST_F(SysfsPortSourceTest, BoardUartFamiliesHaveTheirRanges) {
    sysfs.AddOther("ttyAMA0", "uart-pl011");
    sysfs.AddOther("ttySC1", "sc16is7xx");
    sysfs.AddOther("ttyTHS2", "serial-tegra");
    sysfs.AddOther("ttymxc0", "imx-uart");
    EXPECT_THAT(Names(), ElementsAre("uart-pl011 (COM132)", "sc16is7xx (COM181)",
                                     "serial-tegra (COM190)", "imx-uart (COM196)"));
}

TEST_F(SysfsPortSourceTest, DevicesAreListedInNumberOrderBeforeLinks) {
    sysfs.AddOther("ttyUSB10", "ftdi_sio");
    sysfs.AddOther("ttyUSB2", "ftdi_sio");
    sysfs.AddUart("ttyS0", "4");
    PlugLink("COM7", pty.slavePath());
    EXPECT_THAT(Names(), ElementsAre("Communications Port (COM1)", "ftdi_sio (COM35)",
                                     "ftdi_sio (COM43)", "Virtual Serial Port (COM7)"));
}

// Only a tty carries HART: whatever else a link leads to would only be refused on opening.
// COM0 never opens, so a line it leads to is listed under its other number.
TEST_F(SysfsPortSourceTest, OnlyLinksToSerialTtysAreVirtualSerialPorts) {
    PtyPair other;
    PlugLink("COM200", pty.slavePath());
    PlugLink("COM0", other.slavePath());
    PlugLink("COM12", other.slavePath());
    PlugLink("COM201", home.path() + "/gone");  // the simulator has stopped
    PlugLink("COM012", pty.slavePath());
    PlugLink("COM256", pty.slavePath());
    PlugLink("README", pty.slavePath());
    const std::string file = home.path() + "/file", fifo = home.path() + "/fifo";
    sysfs.Write(file, "");
    ASSERT_EQ(0, mkfifo(fifo.c_str(), 0600));
    unsigned com = 2;
    for (const std::string& target : {std::string("/dev/null"), file, home.path(), fifo})
        PlugLink("COM" + std::to_string(com++), target);
    EXPECT_THAT(Names(),
                ElementsAre("Virtual Serial Port (COM12)", "Virtual Serial Port (COM200)"));
}

TEST_F(SysfsPortSourceTest, AMachineWithoutTtyClassStillListsItsLinks) {
    PlugLink("COM5", pty.slavePath());
    std::vector<std::string> names;
    EXPECT_TRUE(SysfsPortSource(sysfs.ClassFolder() + "/missing").ReadFriendlyNames(names));
    EXPECT_THAT(names, ElementsAre("Virtual Serial Port (COM5)"));
}

TEST_F(SysfsPortSourceTest, AnUnreadableTtyClassIsAFailedEnumeration) {
    PlugLink("COM5", pty.slavePath());
    const std::string notAFolder = sysfs.ClassFolder() + "/file";
    sysfs.Write(notAFolder, "");
    std::vector<std::string> names;
    EXPECT_FALSE(SysfsPortSource(notAFolder).ReadFriendlyNames(names));
    EXPECT_THAT(names, ElementsAre("Virtual Serial Port (COM5)"));
}

}  // namespace
