#pragma once

#include <string>
#include <vector>

#include "portselect/PortSource.h"

// The serial ports of a Linux machine, named as a Windows port list names them:
//  - every tty of the class folder that has a device and a COM number in the fixed
//    ranges (ttyS, ttyUSB, ttyACM, rfcomm), except 8250-style ttyS ports whose UART type
//    is unknown (the phantom ports most PCs and virtual machines register). The name is a
//    description plus the number: "Communications Port (COM1)" for on-board UARTs, else the
//    USB interface string, the USB product string or the driver name, e.g.
//    "FT232R USB UART (COM33)";
//  - every COM<n> link of the ports folder whose target exists: "Virtual Serial Port (COM<n>)".
// Devices come first, then links, each in the order of their numbers.
class SysfsPortSource : public IPortSource {
public:
    explicit SysfsPortSource(std::string ttyClassFolder = "/sys/class/tty");

    bool ReadFriendlyNames(std::vector<std::string>& names) const override;

private:
    bool ReadDevices(std::vector<std::string>& names) const;
    static void ReadLinks(std::vector<std::string>& names);

    std::string m_ttyClassFolder;
};

// The ports of this machine.
const IPortSource& SystemPortSource();
