#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "serial/KernelConsole.h"

// Where the checks look at the system. Tests point every root into a temporary folder,
// so no test depends on, or touches, the machine's real devices.
struct SystemRoots {
    std::string dev = "/dev";
    std::string sys = "/sys";
    std::string proc = "/proc";
    // Empty: the system's user and group databases through NSS. A fake tree names its own
    // group(5) and passwd(5) files.
    std::string groupFile;
    std::string passwdFile;
    // udev's database of device properties (c<major>:<minor> files).
    std::string udevData = "/run/udev/data";
    std::vector<std::string> unitFolders = {"/etc/systemd/system", "/run/systemd/system",
                                            "/lib/systemd/system", "/usr/lib/systemd/system"};

    // A device path of the real system ("/dev/ttyUSB0") as it lies under these roots.
    std::string DevicePath(const std::string& systemPath) const;
    // Where the kernel's consoles are read under these roots.
    ConsoleRoots Consoles() const;
};

// The kernel's user and group ids (uid_t, gid_t) as plain numbers, so that the window and
// the report, which carry them, build where the system has no such types.
using UserId = std::uint32_t;
using GroupId = std::uint32_t;

// Who runs the checks: the groups the process has now (getgroups), which can differ
// from what the group database says after a recent usermod.
struct UserIdentity {
    UserId uid = 0;
    GroupId primaryGid = 0;
    std::string name;
    std::vector<GroupId> processGroups;
};

UserIdentity CurrentUser();
