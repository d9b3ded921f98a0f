#pragma once

#include <map>
#include <string>

#include "portselect/PortSource.h"

// The properties of one tty device, named as udev names them (DEVNAME, DEVLINKS, ID_BUS,
// ID_MODEL_ENC, ID_MODEL_FROM_DATABASE, ID_VENDOR_ENC, ID_VENDOR_FROM_DATABASE,
// ID_SERIAL_SHORT, ID_VENDOR_ID, ID_MODEL_ID, ID_USB_DRIVER), plus what a source read from
// sysfs itself:
//   TRALVO_PRODUCT, TRALVO_MANUFACTURER, TRALVO_SERIAL  the USB device's own strings, raw
//   TRALVO_INTERFACE                                   the USB interface's string
//   TRALVO_DRIVER                                      the driver of the tty's device
// Both sources, libudev and the plain sysfs reader, fill this one form, so that what a
// device is called is decided in one place, without the machine (and is fuzzed).
using DeviceProperties = std::map<std::string, std::string>;

// One serial device present on the machine, before it has a COM number.
struct SerialDevice {
    std::string name;     // the kernel's name: "ttyUSB0"
    std::string node;     // its device node: "/dev/ttyUSB0" (in a test, under the test's root)
    bool usb = false;     // on a USB bus: such an adapter gets a COM number of its own
    std::string byPath;   // the /dev/serial/by-path name offered for it, if any
    PortDetails details;  // title, product, manufacturer, serial, driver, usbId, and the
                          // /dev/serial/by-id name offered for it (device stays empty)
};

// The text with every control character (a newline or tab would break lines and
// tab-separated fields) as a blank.
std::string WithoutControlCharacters(std::string text);

// udev's encoding of a property text: "\x20" is a blank; other backslashes stay.
std::string DecodeUdevText(const std::string& text);

// What the properties say about the tty called `name`:
//  - node: DEVNAME when it is absolute, else /dev/<name>;
//  - product and manufacturer: the device's own string (TRALVO_*, else ID_*_ENC decoded,
//    else ID_* with '_' as blanks), unless it is only the hexadecimal id udev puts in its
//    place; else the USB database's name (ID_*_FROM_DATABASE);
//  - serial: TRALVO_SERIAL, else ID_SERIAL_SHORT; usbId: "<ID_VENDOR_ID>:<ID_MODEL_ID>";
//  - driver: TRALVO_DRIVER, else ID_USB_DRIVER; usb: ID_BUS is "usb";
//  - byId and byPath: the first DEVLINKS entry under serial/by-id/ and serial/by-path/;
//  - title, as a Windows port list names the device: "Communications Port" for ttyS<n>;
//    for USB devices the interface string, else the product; else the driver, else the tty.
// Texts lose control characters (they would break lines and tab-separated fields) and the
// blanks around them.
SerialDevice SerialDeviceFromProperties(const std::string& name,
                                        const DeviceProperties& properties);
