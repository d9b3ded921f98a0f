#pragma once

#include <string>
#include <vector>

// A port as the port chooser lists it.
struct ListedPort {
    unsigned comNumber = 0;
    std::string text;    // "COM33"
    std::string device;  // "/dev/ttyUSB0"
};

// The ports of the port chooser, in its order, from the same enumeration.
std::vector<ListedPort> ListPorts();

// Reads the chooser's lines ("COM33\t/dev/ttyUSB0").
std::vector<ListedPort> ParsePortLines(const std::string& lines);
