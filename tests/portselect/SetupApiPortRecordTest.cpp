#include "portselect/SetupApiPortRecord.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "portselect/PortChangeMessage.h"
#include "portselect/PortEnumeration.h"
#include "tests/portselect/FakePortSource.h"
#include "tests/serial/FakeConsoles.h"
#include "tests/serial/ScopedConfigHome.h"

namespace {

// A device of the Ports class with only what a test names.
SetupApiDevice Device(std::string friendlyName, std::string portName = "",
                      std::string instanceId = "", std::string parentInstanceId = "") {
    SetupApiDevice device;
    device.friendlyName = std::move(friendlyName);
    device.portName = std::move(portName);
    device.instanceId = std::move(instanceId);
    device.parentInstanceId = std::move(parentInstanceId);
    return device;
}

struct InstanceIdCase {
    const char* instanceId;
    const char* usbId;
    const char* serial;
};

TEST(SetupApiPortRecordTest, InstanceIdsGiveTheUsbIdsAndSerialNumber) {
    const InstanceIdCase cases[] = {
        {R"(USB\VID_0403&PID_6001\A10K3XYZ)", "0403:6001", "A10K3XYZ"},
        {R"(USB\VID_10C4&PID_EA60\0001)", "10c4:ea60", "0001"},
        // FTDI's bus adds the chip's channel letter to the serial number.
        {R"(FTDIBUS\VID_0403+PID_6001+A10K3XYZA\0000)", "0403:6001", "A10K3XYZ"},
        {R"(FTDIBUS\VID_0403+PID_6010+FT4ZQ1B\0000)", "0403:6010", "FT4ZQ1"},
        // Instance parts that Windows made up are no serial numbers.
        {R"(USB\VID_2341&PID_0043&MI_00\6&1A2B3C4D&0&0000)", "2341:0043", ""},
        {R"(FTDIBUS\VID_0403+PID_6001+5&2B7A8F0&0&2\0000)", "0403:6001", ""},
        {R"(ACPI\PNP0501\1)", "", ""},
        {R"(BTHENUM\{00001101-0000-1000-8000-00805F9B34FB}_LOCALMFG&0000\7&1F2A&0&0)", "", ""},
        {R"(USB\VID_04O3&PID_6001\A10K3XYZ)", "", ""},
        {R"(USB\VID_0403\A10K3XYZ)", "", ""},
        {R"(USB\VID_0403&PID_6001)", "", ""},
        {"", "", ""},
    };
    for (const InstanceIdCase& c : cases) {
        const UsbIdentity identity = UsbIdentityFromInstanceId(c.instanceId);
        EXPECT_EQ(c.usbId, identity.usbId) << c.instanceId;
        EXPECT_EQ(c.serial, identity.serial) << c.instanceId;
    }
}

TEST(SetupApiPortRecordTest, AnFtdiCableAsDeviceManagerListsIt) {
    SetupApiDevice cable =
        Device("USB Serial Port (COM3)", "COM3", R"(FTDIBUS\VID_0403+PID_6001+A10K3XYZA\0000)",
               R"(USB\VID_0403&PID_6001\A10K3XYZ)");
    cable.description = "USB Serial Port";
    cable.busDescription = "FT232R USB UART";
    cable.service = "FTDIBUS";
    cable.manufacturer = "FTDI";
    const PortRecord record = PortRecordFromSetupApi(cable);
    EXPECT_EQ("USB Serial Port (COM3)", record.friendlyName);
    EXPECT_EQ("USB Serial Port", record.details.title);
    EXPECT_EQ("FT232R USB UART", record.details.product);
    EXPECT_EQ("FTDIBUS", record.details.driver);
    EXPECT_EQ("FTDI", record.details.manufacturer);
    EXPECT_EQ("0403:6001", record.details.usbId);
    EXPECT_EQ("A10K3XYZ", record.details.serial);
    EXPECT_TRUE(record.details.device.empty()) << "what an entry opens is the chooser's to say";
}

// The display name always names the port that opening it finds, so the chooser lists it.
TEST(SetupApiPortRecordTest, TheNameCarriesThePortNameOfTheDevicesKey) {
    auto named = [](const char* friendlyName, const char* description, const char* portName) {
        SetupApiDevice device = Device(friendlyName, portName);
        device.description = description;
        return PortRecordFromSetupApi(device).friendlyName;
    };
    EXPECT_EQ("Bluetooth Link (COM7)", named("Bluetooth Link", "", "COM7"));
    EXPECT_EQ("USB Serial Port (COM3)", named("USB Serial Port (COM4)", "", "COM3")) << "stale";
    EXPECT_EQ("Communications Port (COM1)", named("", "Communications Port", "COM1"));
    EXPECT_EQ("COM9", named("", "", "COM9"));
    // As Device Manager shows it, "COM" twice and all: the chooser's rules bind every source.
    EXPECT_EQ("Virtual COM Port (COM5)", named("Virtual COM Port (COM5)", "", "COM5"));
    // No COM name: the friendly name as it is, which the chooser then leaves out.
    EXPECT_EQ("Printer Port (LPT1)", named("Printer Port (LPT1)", "", "LPT1"));
    EXPECT_EQ("USB Serial Port (COM4)", named("USB Serial Port (COM4)", "", ""));
}

TEST(SetupApiPortRecordTest, OnlyAUsbFunctionTakesItsParentsSerialNumber) {
    const char* arduino = R"(USB\VID_2341&PID_0043\8573432313A35161E1)";
    PortRecord function = PortRecordFromSetupApi(Device(
        "Arduino Uno (COM4)", "COM4", R"(USB\VID_2341&PID_0043&MI_00\6&1A2B3C4D&0&0000)", arduino));
    EXPECT_EQ("2341:0043", function.details.usbId);
    EXPECT_EQ("8573432313A35161E1", function.details.serial);

    const PortRecord bluetooth = PortRecordFromSetupApi(
        Device("Standard Serial over Bluetooth link (COM8)", "COM8",
               R"(BTHENUM\{00001101-0000-1000-8000-00805F9B34FB}\7&1F2A&0&0)", arduino));
    EXPECT_EQ("", bluetooth.details.usbId);
    EXPECT_EQ("", bluetooth.details.serial);

    const PortRecord other = PortRecordFromSetupApi(
        Device("", "COM5", R"(USB\VID_0403&PID_6001&MI_00\6&1&0&0000)", arduino));
    EXPECT_EQ("0403:6001", other.details.usbId);
    EXPECT_EQ("", other.details.serial) << "another device's serial number";
}

TEST(SetupApiPortRecordTest, TheChooserListsTheRecordsByTheirPortNames) {
    const ScopedConfigHome noLinks;
    const FakeConsoles noConsoles;
    const PortEnumeration ports =
        EnumeratePorts(FakePortSource::WithRecords(
                           {PortRecordFromSetupApi(Device("Bluetooth Link", "COM12")),
                            PortRecordFromSetupApi(Device("Printer Port (LPT1)", "LPT1")),
                            PortRecordFromSetupApi(Device("USB Serial Port (COM9)", "COM3"))}),
                       noConsoles.roots);
    ASSERT_EQ(2u, ports.entries.size());
    EXPECT_EQ("COM3", ports.entries[0].text);
    EXPECT_EQ("USB Serial Port", ports.entries[0].details.title);
    EXPECT_EQ("COM12", ports.entries[1].text);
    EXPECT_EQ("Bluetooth Link", ports.entries[1].details.title);
}

TEST(PortChangeMessageTest, OnlyArrivalsAndRemovalsOfPortsCount) {
    EXPECT_TRUE(IsDeviceArrivalOrRemoval(0x0219, 0x8000));
    EXPECT_TRUE(IsDeviceArrivalOrRemoval(0x0219, 0x8004));
    EXPECT_FALSE(IsDeviceArrivalOrRemoval(0x0219, 0x0007)) << "DBT_DEVNODES_CHANGED: no header";
    EXPECT_FALSE(IsDeviceArrivalOrRemoval(0x0219, 0x8001)) << "a removal query";
    EXPECT_FALSE(IsDeviceArrivalOrRemoval(0x0219, 0x8003)) << "a removal still pending";
    EXPECT_FALSE(IsDeviceArrivalOrRemoval(0x0218, 0x8000)) << "another message";
    EXPECT_TRUE(IsPortDevice(3));
    EXPECT_FALSE(IsPortDevice(2)) << "a volume";
    EXPECT_FALSE(IsPortDevice(5)) << "a device interface";
}

}  // namespace
