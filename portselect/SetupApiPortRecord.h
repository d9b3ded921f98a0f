#pragma once

#include <string>

#include "portselect/PortSource.h"

// What SetupAPI tells of one device of the Ports class, as UTF-8. Every field may be empty.
struct SetupApiDevice {
    std::string friendlyName;      // SPDRP_FRIENDLYNAME: "USB Serial Port (COM3)"
    std::string description;       // SPDRP_DEVICEDESC: "USB Serial Port"
    std::string busDescription;    // what the device calls itself on its bus (a USB device's
                                   // product string): "FT232R USB UART"
    std::string portName;          // "PortName" of the device's key: "COM3"
    std::string service;           // SPDRP_SERVICE: "FTDIBUS", "usbser", "Serial"
    std::string manufacturer;      // SPDRP_MFG: "FTDI"
    std::string instanceId;        // "USB\VID_0403&PID_6001\A10K3XYZ"
    std::string parentInstanceId;  // the parent's: a composite device's function has no
                                   // serial number of its own, its USB device has
};

// What a device instance id tells of a USB device.
struct UsbIdentity {
    std::string usbId;   // "0403:6001", lower case as Linux writes it
    std::string serial;  // the device's serial number: "A10K3XYZ"
};

// From an id such as "USB\VID_0403&PID_6001\A10K3XYZ" or FTDI's bus
// "FTDIBUS\VID_0403+PID_6001+A10K3XYZA\0000" (its serial number carries the channel letter
// A, B, ...). An instance part that Windows made up (it holds '&': "6&1A2B3C4D&0&0000") is no
// serial number. Other buses give nothing.
UsbIdentity UsbIdentityFromInstanceId(const std::string& instanceId);

// The record the chooser lists for the device. Its display name is the friendly name as
// Device Manager shows it, but it names the port the device's key gives ("PortName" COM<n>,
// what opening the port finds): a name without that "(COM<n>)" gets it, a stale one is
// replaced. Without a friendly name the description stands in. The title is the name before
// its "(COM<n>)"; the details hold the bus description as product, the service as driver,
// the manufacturer, and from the instance id the USB ids and serial number (a composite
// device's function, which has none of its own, takes that of its parent with the same ids).
PortRecord PortRecordFromSetupApi(const SetupApiDevice& device);
