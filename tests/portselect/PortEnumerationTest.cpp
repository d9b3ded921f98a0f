#include "portselect/PortEnumeration.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FakePortSource.h"
#include "tests/serial/FakeConsoles.h"
#include "tests/serial/PtyPair.h"
#include "tests/serial/ScopedConfigHome.h"

namespace {

using ::testing::ElementsAre;

std::vector<std::string> Texts(const PortEnumeration& ports) {
    std::vector<std::string> texts;
    for (const PortEntry& entry : ports.entries) texts.push_back(entry.text);
    return texts;
}

// Against a machine whose consoles are unknown, so that COM1 lists wherever the tests run.
PortEnumeration Enumerate(std::vector<std::string> names, bool complete = true) {
    const FakeConsoles noConsoles;
    return EnumeratePorts(FakePortSource(std::move(names), complete), noConsoles.roots);
}

TEST(PortEnumerationTest, AUsbSerialPortGivesItsComText) {
    const PortEnumeration ports = Enumerate({"USB Serial Port (COM3)"});
    ASSERT_EQ(1u, ports.entries.size());
    EXPECT_EQ("COM3", ports.entries[0].text);
    EXPECT_EQ(3u, ports.entries[0].number);
}

TEST(PortEnumerationTest, TheSearchForComIsCaseSensitive) {
    EXPECT_THAT(Texts(Enumerate({"Communications Port (COM1)"})), ElementsAre("COM1"));
    EXPECT_TRUE(Enumerate({"Modem (com4)", "Printer Port (LPT1)", ""}).entries.empty());
}

TEST(PortEnumerationTest, ANameWithComTwiceIsCutAtTheFirstAndNumberedZero) {
    const PortEnumeration ports = Enumerate({"Virtual COM Port (COM5)"});
    ASSERT_EQ(1u, ports.entries.size());
    EXPECT_EQ("COM Port COM5", ports.entries[0].text);
    EXPECT_EQ(0u, ports.entries[0].number);
}

TEST(PortEnumerationTest, EveryBracketGoesAndTrailingWhiteSpaceIsTrimmed) {
    EXPECT_THAT(Texts(Enumerate({"Adapter (COM12) (USB)", "Port (COM4) \t ", "CO(M3 (COM7)"})),
                ElementsAre("COM3 COM7", "COM4", "COM12 USB"));
}

TEST(PortEnumerationTest, NamesGivingTheSameTextInAnyLetterCaseGiveOneEntry) {
    const PortEnumeration ports = Enumerate({"Bridge (COM2 Modem)", "USB Serial Port (COM2)",
                                             "Other (COM2 MODEM)", "Virtual Serial Port (COM2)"});
    EXPECT_THAT(Texts(ports), ElementsAre("COM2 Modem", "COM2"));
}

TEST(PortEnumerationTest, EntriesAreOrderedByNumberNotByText) {
    EXPECT_THAT(Texts(Enumerate({"A (COM10)", "B (COM3)", "C (COM1)"})),
                ElementsAre("COM1", "COM3", "COM10"));
}

TEST(PortEnumerationTest, EqualNumbersKeepTheirEnumerationOrder) {
    EXPECT_THAT(
        Texts(Enumerate({"(COM6)", "(COM5 B)", "Virtual COM Port (COM9)", "(COM5 A)", "(COM 5)"})),
        ElementsAre("COM Port COM9", "COM5 B", "COM5 A", "COM 5", "COM6"));
}

TEST(PortEnumerationTest, EntryTextsStopAtNinetyNineCharacters) {
    const std::string longName = "Port (COM8 " + std::string(150, 'x') + ")";
    const PortEnumeration ports = Enumerate({longName});
    ASSERT_EQ(1u, ports.entries.size());
    EXPECT_EQ("COM8 " + std::string(94, 'x'), ports.entries[0].text);
    EXPECT_EQ(8u, ports.entries[0].number);
}

TEST(PortEnumerationTest, TruncationNeverSplitsACharacter) {
    std::string accents;
    for (int i = 0; i < 120; ++i) accents += "\xC3\xA9";  // é
    const PortEnumeration ports = Enumerate({"(COM1 " + accents + ")"});
    ASSERT_EQ(1u, ports.entries.size());
    EXPECT_EQ("COM1 " + accents.substr(0, 94 * 2), ports.entries[0].text);
}

TEST(PortEnumerationTest, AFailedEnumerationKeepsWhatItFoundUnsorted) {
    const PortEnumeration ports = Enumerate({"A (COM10)", "B (COM3)"}, false);
    EXPECT_FALSE(ports.complete);
    EXPECT_THAT(Texts(ports), ElementsAre("COM10", "COM3"));
}

TEST(PortEnumerationTest, EachEntryNamesTheDeviceItsTextOpens) {
    ScopedConfigHome home;
    ASSERT_TRUE(home.Link(home.path() + "/Brenlow/Tralvo/ports/COM200", "/dev/null"));
    const PortEnumeration ports =
        Enumerate({"FT232R USB UART (COM33)", "Virtual Serial Port (COM200)",
                   "Virtual COM Port (COM5)", "Far (COM300)"});
    ASSERT_EQ(4u, ports.entries.size());
    EXPECT_EQ("", ports.entries[0].devicePath);  // "COM Port COM5" reads as port 0
    EXPECT_EQ("/dev/ttyUSB0", ports.entries[1].devicePath);
    EXPECT_EQ(home.path() + "/Brenlow/Tralvo/ports/COM200", ports.entries[2].devicePath);
    EXPECT_EQ("/dev/ttyUSB11", ports.entries[3].devicePath);  // COM300 is stored as port 44
}

TEST(PortEnumerationTest, APortWhoseDeviceIsAKernelConsoleIsNotListed) {
    ScopedConfigHome home;
    FakeConsoles fake;
    PtyPair console, modem;
    ASSERT_TRUE(console.ok() && modem.ok());
    fake.SetProcConsoles("ttyS0 -W- (EC  p a) " + FakeConsoles::NumberOf(console.path()) + "\n");
    // COM7 reaches the console only through a second link of the user's own.
    const std::string ports = home.path() + "/Brenlow/Tralvo/ports/";
    ASSERT_TRUE(home.Link(home.path() + "/serial-console", console.path()));
    ASSERT_TRUE(home.Link(ports + "COM7", home.path() + "/serial-console"));
    ASSERT_TRUE(home.Link(ports + "COM8", modem.path()));
    const PortEnumeration listed = EnumeratePorts(
        FakePortSource({"Virtual Serial Port (COM7)", "Virtual Serial Port (COM8)"}), fake.roots);
    EXPECT_THAT(Texts(listed), ElementsAre("COM8"));
}

}  // namespace

namespace {

TEST(PortDetailsTest, EntriesKeepTheDetailsOfTheirRecord) {
    ScopedConfigHome home;
    const FakeConsoles noConsoles;
    PortRecord ftdi{"FT232R USB UART (COM34)", {}};
    ftdi.details.title = "FT232R USB UART";
    ftdi.details.serial = "A10K3XYZ";
    ftdi.details.device = "/dev/ttyUSB7";  // what the source believed
    const PortEnumeration ports = EnumeratePorts(
        FakePortSource::WithRecords({ftdi, {"USB Serial Port (COM3)", {}}, {"(COM4)", {}}}),
        noConsoles.roots);
    ASSERT_EQ(3u, ports.entries.size());
    EXPECT_EQ("USB Serial Port", ports.entries[0].details.title) << "from the name";
    EXPECT_EQ("/dev/ttyS2", ports.entries[0].details.device);
    EXPECT_EQ("", ports.entries[1].details.title);
    EXPECT_EQ("FT232R USB UART", ports.entries[2].details.title);
    EXPECT_EQ("A10K3XYZ", ports.entries[2].details.serial);
    EXPECT_EQ("/dev/ttyUSB1", ports.entries[2].details.device) << "what COM34 opens";
}

TEST(PortDetailsTest, DescriptionSaysWhatThePortIs) {
    PortDetails details;
    EXPECT_EQ("", PortDescription(details));
    details.driver = "cdc_acm";
    EXPECT_EQ("cdc_acm", PortDescription(details));
    details.title = "FT232R USB UART";
    details.product = "FT232R USB UART";
    EXPECT_EQ("FT232R USB UART", PortDescription(details));
    details.manufacturer = "FTDI";
    details.serial = "A10K3XYZ";
    EXPECT_EQ("FT232R USB UART - FTDI, serial A10K3XYZ", PortDescription(details));
    details.title = "HART Modem Channel";
    details.product = "Dual RS232";
    EXPECT_EQ("HART Modem Channel (Dual RS232) - FTDI, serial A10K3XYZ", PortDescription(details));
    details = {};
    details.title = "FTDI USB Serial";
    details.manufacturer = "ftdi";
    EXPECT_EQ("FTDI USB Serial", PortDescription(details)) << "a maker already named";
    details = {};
    details.serial = "S1";
    EXPECT_EQ("serial S1", PortDescription(details));
}

TEST(PortDetailsTest, LocationSaysWhereItIs) {
    PortDetails details;
    EXPECT_EQ("", PortLocation(details));
    details.device = "/dev/ttyUSB1";
    EXPECT_EQ("/dev/ttyUSB1", PortLocation(details));
    details.byId = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A10K3XYZ-if00-port0";
    EXPECT_EQ("/dev/ttyUSB1, by-id usb-FTDI_FT232R_USB_UART_A10K3XYZ-if00-port0",
              PortLocation(details));
}

}  // namespace
