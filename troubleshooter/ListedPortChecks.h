#pragma once

#include <functional>
#include <optional>
#include <string>

#include "portselect/PortSource.h"
#include "serial/SerialStatus.h"
#include "troubleshooter/CheckResult.h"
#include "troubleshooter/Troubleshooter.h"

// The checks of a system that names its ports COM<n> itself (Windows): the port is listed,
// what its driver is, and it opens for Tralvo alone. Plain logic over what the system said,
// so that it runs anywhere; ChecksWin32.cpp asks the system.

// The number in a port list name's last "(COM<n>)": "USB Serial Port (COM33)" -> 33; nothing
// for a number no port of Tralvo's can have.
std::optional<unsigned> ComNumberInName(const std::string& friendlyName);

// What the system knows of COM<n>.
struct PortPresence {
    std::optional<PortRecord> record;  // the port list's entry for it
    std::string dosTarget;             // what the name "COM<n>" leads to ("\Device\VCP0")
    bool answersToName = false;        // opening "\\.\COM<n>" found a device (even one in use)
};

// The first record the source lists for comNumber, with dosTarget as given.
PortPresence FindListedPort(unsigned comNumber, const IPortSource& source, std::string dosTarget);

// Passes when the port list shows the port, or when its name leads to a device the list
// leaves out (some virtual ports, whose name only opening finds).
CheckResult CheckPortPresent(unsigned comNumber, const PortPresence& presence);

// Information from the port list's record: friendly name, driver, manufacturer, USB id.
CheckResult DescribeDriver(const PortPresence& presence);

// How an exclusive open of the port went, step by step; a step not reached stays success.
struct OpenAttempt {
    SerialStatus open = kSerialSuccess;
    SerialStatus line = kSerialSuccess;  // the HART line format, 1200 baud 8O1
    SerialStatus rts = kSerialSuccess;   // lowering and raising RTS
};

// The system's text for one of its error codes (PlatformErrorText).
using SystemErrorText = const char* (*)(SerialStatus status);

// An open refused as "access denied" means another program has the port: the system opens
// a COM port for one program at a time.
CheckResult CheckExclusiveOpen(unsigned comNumber, const OpenAttempt& attempt,
                               SystemErrorText errorText);

// What the list needs from the system.
struct PortProbe {
    // QueryDosDevice's answer for "COM<n>"; empty when the name leads nowhere.
    std::function<std::string(unsigned comNumber)> dosTarget;
    std::function<OpenAttempt(unsigned comNumber)> tryOpen;
    SystemErrorText errorText = nullptr;
};

// Present, driver, open, in that order; the open is not applicable when the port is not
// there. The port is opened even when the system does not list it: only the open tells
// for sure. The HART poll is the caller's, after the open.
CheckResults RunListedPortChecks(const TroubleshootRequest& request, const IPortSource& source,
                                 const PortProbe& probe);
