#include "portselect/SerialDevice.h"

#include <gtest/gtest.h>

namespace {

// What udev's database holds for an FTDI cable (udevadm info /dev/ttyUSB0).
DeviceProperties FtdiFromUdev() {
    return {
        {"DEVNAME", "/dev/ttyUSB0"},
        {"DEVLINKS",
         "/dev/serial/by-path/pci-0000:00:14.0-usb-0:2:1.0-port0 "
         "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A10K3XYZ-if00-port0"},
        {"ID_BUS", "usb"},
        {"ID_MODEL", "FT232R_USB_UART"},
        {"ID_MODEL_ENC", "FT232R\\x20USB\\x20UART"},
        {"ID_MODEL_ID", "6001"},
        {"ID_MODEL_FROM_DATABASE", "FT232 Serial (UART) IC"},
        {"ID_VENDOR", "FTDI"},
        {"ID_VENDOR_ENC", "FTDI"},
        {"ID_VENDOR_ID", "0403"},
        {"ID_VENDOR_FROM_DATABASE", "Future Technology Devices International, Ltd"},
        {"ID_SERIAL_SHORT", "A10K3XYZ"},
        {"ID_USB_DRIVER", "ftdi_sio"},
    };
}

TEST(SerialDeviceTest, UdevPropertiesOfAnFtdiCable) {
    const SerialDevice device = SerialDeviceFromProperties("ttyUSB0", FtdiFromUdev());
    EXPECT_EQ("ttyUSB0", device.name);
    EXPECT_EQ("/dev/ttyUSB0", device.node);
    EXPECT_TRUE(device.usb);
    EXPECT_EQ("FT232R USB UART", device.details.title);
    EXPECT_EQ("FT232R USB UART", device.details.product) << "the device's own name first";
    EXPECT_EQ("FTDI", device.details.manufacturer);
    EXPECT_EQ("A10K3XYZ", device.details.serial);
    EXPECT_EQ("0403:6001", device.details.usbId);
    EXPECT_EQ("ftdi_sio", device.details.driver);
    EXPECT_EQ("/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A10K3XYZ-if00-port0",
              device.details.byId);
    EXPECT_EQ("/dev/serial/by-path/pci-0000:00:14.0-usb-0:2:1.0-port0", device.byPath);
    EXPECT_EQ("", device.details.device);
}

// A CH340 has no manufacturer string: udev puts the vendor id in its place, and the USB
// database names the maker.
TEST(SerialDeviceTest, AnIdStandingInForAMissingStringGivesWayToTheDatabase) {
    const DeviceProperties ch340 = {
        {"ID_BUS", "usb"},        {"ID_MODEL_ENC", "USB\\x20Serial"},
        {"ID_MODEL_ID", "7523"},  {"ID_MODEL_FROM_DATABASE", "CH340 serial converter"},
        {"ID_VENDOR", "1a86"},    {"ID_VENDOR_ENC", "1a86"},
        {"ID_VENDOR_ID", "1a86"}, {"ID_VENDOR_FROM_DATABASE", "QinHeng Electronics"},
    };
    const SerialDevice device = SerialDeviceFromProperties("ttyUSB1", ch340);
    EXPECT_EQ("USB Serial", device.details.product);
    EXPECT_EQ("QinHeng Electronics", device.details.manufacturer);
    EXPECT_EQ("", device.details.serial);

    DeviceProperties noProduct = ch340;
    noProduct["ID_MODEL_ENC"] = "7523";
    noProduct["ID_MODEL"] = "7523";
    EXPECT_EQ("CH340 serial converter",
              SerialDeviceFromProperties("ttyUSB1", noProduct).details.product);
}

TEST(SerialDeviceTest, TitlesAsAWindowsPortListNamesThem) {
    EXPECT_EQ("Communications Port",
              SerialDeviceFromProperties("ttyS0", {{"TRALVO_DRIVER", "serial8250"}}).details.title);
    EXPECT_EQ("Modem Channel",
              SerialDeviceFromProperties("ttyACM0", {{"ID_BUS", "usb"},
                                                     {"TRALVO_INTERFACE", "Modem Channel"},
                                                     {"TRALVO_PRODUCT", "Bell 202"}})
                  .details.title);
    EXPECT_EQ("cdc_acm", SerialDeviceFromProperties(
                             "ttyACM1", {{"ID_BUS", "usb"}, {"TRALVO_DRIVER", "cdc_acm"}})
                             .details.title);
    EXPECT_EQ(
        "uart-pl011",
        SerialDeviceFromProperties("ttyAMA0", {{"TRALVO_DRIVER", "uart-pl011"}}).details.title);
    EXPECT_EQ("sc16is7xx",
              SerialDeviceFromProperties("ttySC0", {{"TRALVO_DRIVER", "sc16is7xx"}}).details.title)
        << "ttySC is not an 8250 port";
    EXPECT_EQ("rfcomm0", SerialDeviceFromProperties("rfcomm0", {}).details.title);
    // A product string on a device that is not on USB does not name it.
    EXPECT_EQ("uart-pl011", SerialDeviceFromProperties(
                                "ttyAMA0", {{"TRALVO_DRIVER", "uart-pl011"}, {"ID_MODEL", "Thing"}})
                                .details.title);
}

TEST(SerialDeviceTest, ControlCharactersAndOuterBlanksGo) {
    const SerialDevice device =
        SerialDeviceFromProperties("ttyUSB0", {{"ID_BUS", "usb"},
                                               {"TRALVO_PRODUCT", "  Two\tfields\nand lines \x7f "},
                                               {"ID_SERIAL_SHORT", "\x01S1"}});
    EXPECT_EQ("Two fields and lines", device.details.product);
    EXPECT_EQ("S1", device.details.serial);
}

TEST(SerialDeviceTest, NodesAndLinks) {
    EXPECT_EQ("/dev/ttyACM2", SerialDeviceFromProperties("ttyACM2", {}).node);
    EXPECT_EQ("/dev/ttyACM2", SerialDeviceFromProperties("ttyACM2", {{"DEVNAME", "ttyACM2"}}).node);
    const SerialDevice device = SerialDeviceFromProperties(
        "ttyACM0", {{"DEVLINKS", "/dev/modem  /dev/serial/by-id/ /dev/serial/by-id/usb-X-if00"}});
    EXPECT_EQ("/dev/serial/by-id/usb-X-if00", device.details.byId) << "the empty name is none";
    EXPECT_EQ("", device.byPath);
    EXPECT_FALSE(device.usb);
}

}  // namespace
