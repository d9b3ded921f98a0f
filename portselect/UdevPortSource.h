#pragma once

#include <memory>
#include <string>
#include <vector>

#include "portselect/PortNumbering.h"
#include "portselect/PortSource.h"
#include "portselect/SerialDevice.h"
#include "portselect/SystemPorts.h"

// The serial ports of this machine through libudev: the ttys of the fixed COM ranges that
// have a device (the same rules as SysfsPortSource, 8250 phantom slots skipped), with
// udev's properties (ID_MODEL_FROM_DATABASE, ID_VENDOR_FROM_DATABASE, ID_SERIAL_SHORT,
// DEVLINKS with the /dev/serial names, ...) and the USB device's own strings read through
// it; then AppendPortRecords numbers them. Where libudev cannot be had (udev_new fails) the
// sysfs reader stands in.
class UdevPortSource : public IPortSource {
public:
    explicit UdevPortSource(NumberAssignment assignment = NumberAssignment::Assign);

    bool ReadPorts(std::vector<PortRecord>& ports) const override;

private:
    bool ReadDevices(std::vector<SerialDevice>& devices) const;

    NumberAssignment m_assignment;
};

// Tells of tty devices that come or go, from udev's netlink messages: those udevd sends once
// its rules have run (so the /dev/serial links are there), or the kernel's own where no
// udevd runs (a container). Without libudev it watches nothing (Descriptor() is -1).
class UdevPortMonitor : public IPortMonitor {
public:
    UdevPortMonitor();
    ~UdevPortMonitor() override;
    UdevPortMonitor(const UdevPortMonitor&) = delete;
    UdevPortMonitor& operator=(const UdevPortMonitor&) = delete;

    int Descriptor() const override;
    bool TakeEvents() override;

private:
    struct Handles;
    std::unique_ptr<Handles> m_handles;
};

// A monitor of this machine's serial devices.
std::unique_ptr<IPortMonitor> MakeSystemPortMonitor();
