#pragma once

#include <string>
#include <vector>

// Who else has a device open, as /proc shows it: every process but this one with a
// descriptor that leads to the device. Only looks; the device is never opened.
struct PortHolder {
    std::string pid;
    std::string name;  // the process's comm, "?" when it cannot be read
};

struct PortHolders {
    std::vector<PortHolder> holders;
    // Processes whose descriptors this user may not read (other users' when not root).
    unsigned unreadable = 0;
};

// `device` is compared with each descriptor's target as the kernel gives it, so pass the
// device with every link followed (FinalPath). `procRoot` is "/proc" except in tests.
PortHolders FindPortHolders(const std::string& device, const std::string& procRoot = "/proc");
