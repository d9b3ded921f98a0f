#pragma once

#include <cstdint>

#include <functional>
#include <optional>
#include <string>

#include "serial/SerialStatus.h"

// Why a COM port did not open, in terms the user can act on. It is worked out after the
// failed open from the open's status and what the system shows about the device; the
// device itself is never opened.
struct OpenFailureReason {
    enum class Kind {
        NoDevice,          // nothing there: unplugged, or a link to a virtual port that ended
        PermissionDenied,  // `group` may use the device; the user is to join it
        Held,              // `holderName` (`holderPid`) has the device open
        HeldByUnknown,     // held by a process this user cannot see
        SystemConsole,     // one of the kernel's consoles, which the port class leaves alone
        LineRefused,       // the tty does not take 1200 baud 8O1
        NotSerial,         // the path leads to something that is no tty
        Other,             // `systemText`: the system's own words for the status
    };
    Kind kind = Kind::Other;
    // The device as the user is to read it: the file the COM number leads to with every
    // link followed ("/dev/ttyUSB0"); a link that leads nowhere as "link -> target"; "COM<n>"
    // when the number stands for no device at all.
    std::string device;
    std::string group;
    std::string holderName;
    std::string holderPid;
    std::string systemText;
};

// A group's name through the system's group databases (NSS); nothing when it has none, and
// always nothing on Windows, where no group grants a port.
std::optional<std::string> SystemGroupName(uint32_t gid);

// Where the reason looks. Tests point the roots at fake trees and name groups themselves.
struct OpenFailureSystem {
    std::string dev = "/dev";  // the fixed-range devices of the COM numbers lie here
    std::string proc = "/proc";
    std::function<std::optional<std::string>(uint32_t)> groupName = SystemGroupName;
};

// Why COM<comNumber> did not open with `status` (CSerial::Open's, or SetHartLine's as
// CHartLink::OpenFailure gives it).
OpenFailureReason DescribeOpenFailure(unsigned comNumber, SerialStatus status,
                                      const OpenFailureSystem& system = {});
