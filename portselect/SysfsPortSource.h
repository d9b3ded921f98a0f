#pragma once

#include <string>
#include <vector>

#include "portselect/PortNumbering.h"
#include "portselect/PortSource.h"
#include "portselect/SerialDevice.h"

// The serial ports of a Linux machine read from sysfs alone: the stand-in where libudev
// cannot be used, and the source that tests lay out as a fake tree.
//  - every tty of the class folder that has a device and a COM number in the fixed ranges
//    (ComPortMap.h), except 8250-style ttyS ports whose UART type is unknown (the phantom
//    ports most PCs and virtual machines register). Its properties are those of its USB
//    device and interface (product, manufacturer, serial, ids, interface string), its
//    driver, and the links of <dev root>/serial/by-id and by-path that lead to its node
//    <dev root>/<tty>; SerialDeviceFromProperties names it, e.g. "FT232R USB UART";
//  - then the ports folder's links; AppendPortRecords gives the numbers (see there).
class SysfsPortSource : public IPortSource {
public:
    explicit SysfsPortSource(std::string ttyClassFolder = "/sys/class/tty",
                             std::string devRoot = "/dev",
                             NumberAssignment assignment = NumberAssignment::Assign);

    bool ReadPorts(std::vector<PortRecord>& ports) const override;

    // The devices alone. false when the class folder could not be read (a missing one
    // holds no devices and is no failure).
    bool ReadDevices(std::vector<SerialDevice>& devices) const;

private:
    std::string m_ttyClassFolder;
    std::string m_devRoot;
    NumberAssignment m_assignment;
};
