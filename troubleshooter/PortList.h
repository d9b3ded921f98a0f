#pragma once

#include <string>
#include <utility>
#include <vector>

#include "portselect/PortSource.h"

// A port as the port chooser lists it.
struct ListedPort {
    ListedPort() = default;
    ListedPort(unsigned number, std::string portText, std::string portDevice,
               std::string portDescription = {}, std::string portById = {})
        : comNumber(number),
          text(std::move(portText)),
          device(std::move(portDevice)),
          description(std::move(portDescription)),
          byId(std::move(portById)) {}

    unsigned comNumber = 0;
    std::string text;         // "COM33"
    std::string device;       // "/dev/ttyUSB1": what it opens, links followed
    std::string description;  // "FT232R USB UART - FTDI, serial A10K3XYZ"; may be empty
    std::string byId;         // "/dev/serial/by-id/usb-FTDI_..."; may be empty
};

// The ports of the port chooser, in its order, from the same enumeration. The listing only
// reads: a USB adapter the chooser has not numbered yet shows as the number the kernel's
// order gives it now.
std::vector<ListedPort> ListPorts();
// The same over another source of ports.
std::vector<ListedPort> ListPorts(const IPortSource& source);

// One line for a port: "COM33  /dev/ttyUSB1  FT232R USB UART - FTDI, serial A10K3XYZ,
// by-id usb-FTDI_FT232R_USB_UART_A10K3XYZ-if00-port0", the parts not known left out.
std::string PortLine(const ListedPort& port);
