#pragma once

#include <string>
#include <vector>

#include "portselect/PortSource.h"

// A port as the port chooser lists it.
struct ListedPort {
    unsigned comNumber = 0;
    std::string text;    // "COM33"
    std::string device;  // "/dev/ttyUSB0"
};

// The ports of the port chooser, in its order, from the same enumeration.
std::vector<ListedPort> ListPorts();
// The same over another source of ports.
std::vector<ListedPort> ListPorts(const IPortSource& source);
