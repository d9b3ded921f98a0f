// COM numbers of USB adapters of their own: the links of the ports folder, over a fake
// sysfs and /dev laid out as the kernel and udev lay them out.
#include "portselect/PortNumbering.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "FakeSysfs.h"
#include "portselect/PortEnumeration.h"
#include "portselect/SysfsPortSource.h"
#include "serial/ComPortMap.h"
#include "tests/serial/FakeConsoles.h"
#include "tests/serial/PtyPair.h"
#include "tests/serial/ScopedConfigHome.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

const char* const kFtdiById = "usb-FTDI_FT232R_USB_UART_A10K3XYZ-if00-port0";

FakeSysfs::UsbAdapter Ftdi() {
    FakeSysfs::UsbAdapter adapter;
    adapter.product = "FT232R USB UART";
    adapter.manufacturer = "FTDI";
    adapter.serial = "A10K3XYZ";
    adapter.byId = kFtdiById;
    adapter.byPath = "pci-0000:00:14.0-usb-0:1:1.0-port0";
    return adapter;
}

// A CH340: no serial number, so every one of them has the same by-id name.
FakeSysfs::UsbAdapter Ch340(const std::string& socket) {
    FakeSysfs::UsbAdapter adapter;
    adapter.product = "USB Serial";
    adapter.byId = "usb-1a86_USB_Serial-if00-port0";
    adapter.byPath = "pci-0000:00:14.0-usb-0:" + socket + ":1.0-port0";
    adapter.vendorId = "1a86";
    adapter.productId = "7523";
    adapter.driver = "ch341-uart";
    return adapter;
}

class PortNumberingTest : public ::testing::Test {
protected:
    std::vector<PortRecord> Records(NumberAssignment assignment = NumberAssignment::Assign) const {
        std::vector<PortRecord> records;
        EXPECT_TRUE(
            SysfsPortSource(sysfs.ClassFolder(), sysfs.DevFolder(), assignment).ReadPorts(records));
        return records;
    }
    std::vector<std::string> Names(NumberAssignment assignment = NumberAssignment::Assign) const {
        std::vector<std::string> names;
        for (const PortRecord& record : Records(assignment)) names.push_back(record.friendlyName);
        return names;
    }
    // The chooser's entries: "COM33 -> <device>".
    std::vector<std::string> Entries() const {
        const FakeConsoles noConsoles;
        std::vector<std::string> entries;
        for (const PortEntry& entry :
             EnumeratePorts(SysfsPortSource(sysfs.ClassFolder(), sysfs.DevFolder()),
                            noConsoles.roots)
                 .entries) {
            entries.push_back(entry.text + " -> " + entry.details.device);
        }
        return entries;
    }
    std::string Link(unsigned number) const {
        std::error_code error;
        const auto target = std::filesystem::read_symlink(PortLinkPath(number), error);
        return error ? "<none>" : target.string();
    }
    std::vector<std::string> FolderNames() const {
        std::vector<std::string> names;
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(PortLinksFolder(), error)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    ScopedConfigHome home;
    FakeSysfs sysfs;
};

TEST_F(PortNumberingTest, AnAdapterSeenTheFirstTimeKeepsItsKernelNumberAsALinkToItsById) {
    sysfs.AddUsbAdapter("ttyUSB0", Ftdi());
    const std::vector<PortRecord> records = Records();
    ASSERT_EQ(1u, records.size());
    EXPECT_EQ("FT232R USB UART (COM33)", records[0].friendlyName);
    const PortDetails& details = records[0].details;
    EXPECT_EQ("FT232R USB UART", details.title);
    EXPECT_EQ("FT232R USB UART", details.product);
    EXPECT_EQ("FTDI", details.manufacturer);
    EXPECT_EQ("A10K3XYZ", details.serial);
    EXPECT_EQ(sysfs.ById(kFtdiById), details.byId);
    EXPECT_EQ("ftdi_sio", details.driver);
    EXPECT_EQ("0403:6001", details.usbId);
    EXPECT_EQ(sysfs.Node("ttyUSB0"), details.device);
    EXPECT_EQ(sysfs.ById(kFtdiById), Link(33));
    EXPECT_THAT(FolderNames(), ElementsAre("COM33"));
}

// The case: the FTDI adapter comes back on ttyUSB1 with another adapter plugged in
// first on ttyUSB0. It stays COM33; the other gets the next free number; neither is listed
// under its number in the kernel's order as well.
TEST_F(PortNumberingTest, AnAdapterKeepsItsNumberAcrossAReplugOnAnotherTty) {
    sysfs.AddUsbAdapter("ttyUSB0", Ftdi());
    EXPECT_THAT(Entries(), ElementsAre("COM33 -> " + sysfs.Node("ttyUSB0")));

    sysfs.Remove("ttyUSB0");
    EXPECT_THAT(Entries(), IsEmpty()) << "an adapter that is away is not listed";
    EXPECT_EQ(sysfs.ById(kFtdiById), Link(33)) << "but it keeps its number";

    FakeSysfs::UsbAdapter prolific;
    prolific.product = "USB-Serial Controller";
    prolific.manufacturer = "Prolific Technology Inc.";
    prolific.serial = "0042";
    prolific.byId = "usb-Prolific_Technology_Inc._USB-Serial_Controller_0042-if00-port0";
    sysfs.AddUsbAdapter("ttyUSB0", prolific);
    sysfs.AddUsbAdapter("ttyUSB1", Ftdi());
    EXPECT_THAT(Entries(), ElementsAre("COM33 -> " + sysfs.Node("ttyUSB1"),
                                       "COM34 -> " + sysfs.Node("ttyUSB0")));
    EXPECT_THAT(Names(), ElementsAre("FT232R USB UART (COM33)", "USB-Serial Controller (COM34)"));
    EXPECT_EQ(sysfs.ById(prolific.byId), Link(34));
    // What the numbers open, as the serial class resolves them.
    EXPECT_EQ(sysfs.Node("ttyUSB1"), FinalPath(*ResolvePortName("\\\\.\\COM33")));
    EXPECT_EQ(sysfs.Node("ttyUSB0"), FinalPath(*ResolvePortName("\\\\.\\COM34")));

    // Back the other way round: the numbers follow the adapters.
    sysfs.Remove("ttyUSB0");
    sysfs.Remove("ttyUSB1");
    sysfs.AddUsbAdapter("ttyUSB0", Ftdi());
    sysfs.AddUsbAdapter("ttyUSB1", prolific);
    EXPECT_THAT(Entries(), ElementsAre("COM33 -> " + sysfs.Node("ttyUSB0"),
                                       "COM34 -> " + sysfs.Node("ttyUSB1")));
    EXPECT_THAT(FolderNames(), ElementsAre("COM33", "COM34"));
}

TEST_F(PortNumberingTest, ANewAdapterWhoseKernelNumberIsTakenGetsTheLowestFree) {
    ASSERT_TRUE(home.Link(PortLinkPath(33), sysfs.ById("usb-away-if00-port0")));  // away
    FakeSysfs::UsbAdapter second = Ftdi();
    second.serial = "B20";
    second.byId = "usb-FTDI_FT232R_USB_UART_B20-if00-port0";
    sysfs.AddUsbAdapter("ttyUSB0", second);
    EXPECT_THAT(Names(), ElementsAre("FT232R USB UART (COM34)"));
    EXPECT_EQ(sysfs.ById(second.byId), Link(34));
}

TEST_F(PortNumberingTest, RemovingTheLinkForgetsTheAdapter) {
    sysfs.AddUsbAdapter("ttyUSB3", Ftdi());
    EXPECT_THAT(Names(), ElementsAre("FT232R USB UART (COM36)"));
    std::filesystem::remove(PortLinkPath(36));
    sysfs.Remove("ttyUSB3");
    sysfs.AddUsbAdapter("ttyUSB1", Ftdi());
    EXPECT_THAT(Names(), ElementsAre("FT232R USB UART (COM34)"));
    EXPECT_THAT(FolderNames(), ElementsAre("COM34"));
}

// An adapter without a /dev/serial name of its own (no udev) stays with the kernel's order,
// and no other adapter is given that number while it is there.
TEST_F(PortNumberingTest, AnAdapterWithoutIdentityKeepsItsKernelNumberAndHoldsIt) {
    sysfs.AddUsbSerial("ttyUSB0", "Plain Adapter");
    sysfs.AddNode("ttyUSB0");
    ASSERT_TRUE(home.Link(PortLinkPath(35), sysfs.ById("usb-away-if00-port0")));
    sysfs.AddUsbAdapter("ttyUSB2", Ftdi());
    EXPECT_THAT(Names(), ElementsAre("Plain Adapter (COM33)", "FT232R USB UART (COM34)"));
    EXPECT_THAT(FolderNames(), ElementsAre("COM34", "COM35"));
}

// A link that holds the kernel's number of an adapter without identity: that number opens
// the link's device, so the adapter cannot be listed under it.
TEST_F(PortNumberingTest, AnAdapterWhoseKernelNumberALinkHoldsIsNotListedUnderIt) {
    sysfs.AddUsbSerial("ttyUSB0", "Plain Adapter");
    sysfs.AddNode("ttyUSB0");
    const PtyPair pty;
    ASSERT_TRUE(home.Link(PortLinkPath(33), pty.slavePath()));
    EXPECT_THAT(Entries(), ElementsAre("COM33 -> " + pty.slavePath()));
    EXPECT_THAT(Names(), ElementsAre("Virtual Serial Port (COM33)"));
}

// Adapters without serial numbers share their by-id name (udev points it at one of them):
// each is told apart by its USB socket, and shows the by-id name only where it leads.
TEST_F(PortNumberingTest, AdaptersWithoutSerialNumbersAreNumberedByTheirSocket) {
    sysfs.AddUsbAdapter("ttyUSB0", Ch340("2"));
    sysfs.AddUsbAdapter("ttyUSB1", Ch340("3"));  // the shared by-id name now leads here
    const std::vector<PortRecord> records = Records();
    ASSERT_EQ(2u, records.size());
    EXPECT_EQ("USB Serial (COM33)", records[0].friendlyName);
    EXPECT_EQ("", records[0].details.byId);
    EXPECT_EQ("USB Serial (COM34)", records[1].friendlyName);
    EXPECT_EQ(sysfs.ById("usb-1a86_USB_Serial-if00-port0"), records[1].details.byId);
    EXPECT_EQ(sysfs.ByPath(Ch340("2").byPath), Link(33));
    EXPECT_EQ(sysfs.ByPath(Ch340("3").byPath), Link(34));

    // Swapped plug order: the socket decides.
    sysfs.Remove("ttyUSB0");
    sysfs.Remove("ttyUSB1");
    sysfs.AddUsbAdapter("ttyUSB0", Ch340("3"));
    sysfs.AddUsbAdapter("ttyUSB1", Ch340("2"));
    EXPECT_THAT(Entries(), ElementsAre("COM33 -> " + sysfs.Node("ttyUSB1"),
                                       "COM34 -> " + sysfs.Node("ttyUSB0")));
}

TEST_F(PortNumberingTest, ListingOnlyMakesNoLinks) {
    sysfs.AddUsbAdapter("ttyUSB1", Ftdi());
    EXPECT_THAT(Names(NumberAssignment::ListOnly), ElementsAre("FT232R USB UART (COM34)"));
    EXPECT_THAT(FolderNames(), IsEmpty());
    // Once the chooser has given it its number, listing shows that number.
    ASSERT_TRUE(home.Link(PortLinkPath(40), sysfs.ById(kFtdiById)));
    EXPECT_THAT(Names(NumberAssignment::ListOnly), ElementsAre("FT232R USB UART (COM40)"));
}

// A COM<n> entry of the ports folder that is no link is never written over or into.
TEST_F(PortNumberingTest, AFileInThePortsFolderKeepsItsNumberAndIsLeftAlone) {
    std::filesystem::create_directories(PortLinksFolder());
    std::ofstream(PortLinkPath(33)) << "mine";
    std::filesystem::create_directory(PortLinkPath(34));
    sysfs.AddUsbAdapter("ttyUSB0", Ftdi());
    EXPECT_THAT(Names(), ElementsAre("FT232R USB UART (COM35)")) << "neither is a port";
    EXPECT_EQ(sysfs.ById(kFtdiById), Link(35));
    std::ifstream file(PortLinkPath(33));
    std::string text;
    std::getline(file, text);
    EXPECT_EQ("mine", text);
    EXPECT_TRUE(std::filesystem::is_empty(PortLinkPath(34)));
}

// Any other link that leads to an adapter (the user's own) does not list it a second time.
TEST_F(PortNumberingTest, EveryDeviceIsListedOnce) {
    sysfs.AddUsbAdapter("ttyUSB0", Ftdi());
    ASSERT_TRUE(home.Link(PortLinkPath(200), sysfs.Node("ttyUSB0")));
    const PtyPair pty;
    ASSERT_TRUE(home.Link(PortLinkPath(201), pty.slavePath()));
    ASSERT_TRUE(home.Link(PortLinkPath(202), pty.slavePath()));
    EXPECT_THAT(Names(), ElementsAre("FT232R USB UART (COM33)", "Virtual Serial Port (COM201)"));
    // A device with no own number is listed under such a link.
    sysfs.AddUart("ttyS0", "4");
    sysfs.AddNode("ttyS0");
    ASSERT_TRUE(home.Link(PortLinkPath(7), sysfs.Node("ttyS0")));
    EXPECT_THAT(Names(), ElementsAre("Communications Port (COM7)", "FT232R USB UART (COM33)",
                                     "Virtual Serial Port (COM201)"));
}

// Where no link can be made (here the ports folder cannot exist: a file has its parent's
// name), adapters stay with the kernel's order.
TEST_F(PortNumberingTest, WithoutAPortsFolderAdaptersKeepTheKernelsOrder) {
    const std::string parent = std::filesystem::path(PortLinksFolder()).parent_path().string();
    std::filesystem::create_directories(std::filesystem::path(parent).parent_path());
    std::ofstream(parent) << "not a folder";
    sysfs.AddUsbAdapter("ttyUSB1", Ftdi());
    FakeSysfs::UsbAdapter second = Ftdi();
    second.serial = "B20";
    second.byId = "usb-FTDI_FT232R_USB_UART_B20-if00-port0";
    sysfs.AddUsbAdapter("ttyUSB4", second);
    EXPECT_THAT(Names(), ElementsAre("FT232R USB UART (COM34)", "FT232R USB UART (COM37)"));
    EXPECT_TRUE(std::filesystem::is_regular_file(parent));
}

TEST_F(PortNumberingTest, AProductNamingComStaysOneEntryWithItsNumber) {
    FakeSysfs::UsbAdapter adapter = Ftdi();
    adapter.product = "USB to COM Port";
    sysfs.AddUsbAdapter("ttyUSB0", adapter);
    const FakeConsoles noConsoles;
    const PortEnumeration ports =
        EnumeratePorts(SysfsPortSource(sysfs.ClassFolder(), sysfs.DevFolder()), noConsoles.roots);
    ASSERT_EQ(1u, ports.entries.size());
    EXPECT_EQ("COM33", ports.entries[0].text);
    EXPECT_EQ("USB to COM Port", ports.entries[0].details.title);
}

}  // namespace
