#pragma once

#include <sys/types.h>

#include <optional>
#include <string>

#include "serial/Serial.h"
#include "troubleshooter/CheckResult.h"
#include "troubleshooter/CheckText.h"
#include "troubleshooter/GroupLookup.h"
#include "troubleshooter/SharedChecks.h"
#include "troubleshooter/SystemRoots.h"

// The device a COM number leads to, as the first check found it.
struct ResolvedDevice {
    std::string systemPath;  // what the mapping names ("/dev/ttyUSB0" or the link)
    std::string path;        // the same under the roots; the link's target when a link
    bool isLink = false;
};

// 1. The COM number maps to a device, the device (or the link's target) exists, and it is
// a terminal: a link to /dev/null or a file is "not a serial port".
CheckResult CheckDevice(unsigned comNumber, const SystemRoots& roots,
                        std::optional<ResolvedDevice>* found);

// 2. The user may read and write the device.
struct DeviceAccess {
    uid_t owner = 0;
    gid_t group = 0;
    mode_t mode = 0;
};
std::optional<DeviceAccess> ReadDeviceAccess(const std::string& path);
CheckResult CheckAccess(const std::string& path, const DeviceAccess& access,
                        const UserIdentity& user, const GroupLookup& groups);

// 3. Nobody else holds the device: fails only when the exclusive open the serial class
// makes (open, flock) is refused, and then names the processes with the device open. The
// other end of a pseudo-terminal is never one of them; others that have the device open
// while it is free are information.
CheckResult CheckHolders(const std::string& path, const SystemRoots& roots);

// 4. Services known to grab serial ports: a failure only when one has `device` open now,
// information when one merely runs. `device` is empty when there is none to look at.
CheckResult CheckServices(const SystemRoots& roots, const std::string& device = {});

// 5. The port opens at 1200 baud 8O1 with the program's own serial class, and RTS/DTR
// can be set (a virtual port has no modem lines).
CheckResult CheckOpen(const std::string& path);

// The checks that would open a device refuse one of the kernel's consoles
// (IsKernelConsole over roots.Consoles()): HART settings would garble the system console.
// `title` is a check's English title (CheckTitles.h).
CheckResult ConsoleRefusal(const char* title, const std::string& path);
