#pragma once

#include <string>
#include <vector>

// Who else has a device open, as /proc shows it, judged by the node itself: a descriptor
// counts when it leads to the same character device (st_rdev), whatever path it was opened
// by (/dev/serial/by-id/..., a ports link). A file that is no device (a test's fake tree)
// counts when it is the same file. Only looks; the device is never opened.
struct PortHolder {
    std::string pid;
    std::string name;  // the process's comm, "?" when it cannot be read
    // It holds a flock on the device node (as /proc/locks shows it), the lock CSerial's
    // exclusive open takes: the one process that keeps Tralvo out. A process that merely has
    // the port open (cat, a shell's redirection) does not.
    bool holdsLock = false;
    // It also holds the master of this pseudo-terminal: the port's other end (tralvo-sim,
    // socat), which keeps the slave open only so that the line stays up.
    bool holdsPtyMaster = false;
};

struct PortHolders {
    std::vector<PortHolder> holders;  // this process left out
    // Processes whose descriptors this user may not read (other users' when not root). A
    // lock holder among them is still listed: /proc/locks names it for every user.
    unsigned unreadable = 0;
};

// `procRoot` is "/proc" except in tests.
PortHolders FindPortHolders(const std::string& device, const std::string& procRoot = "/proc");
