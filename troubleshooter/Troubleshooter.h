#pragma once

#include "serial/Serial.h"
#include "troubleshooter/CheckResult.h"
#include "troubleshooter/SystemRoots.h"

struct TroubleshootRequest {
    unsigned comNumber = 0;
    bool pollHart = false;
    unsigned pollAttempts = 3;
};

// Runs every check of this system for one COM port in order (ChecksLinux.cpp,
// ChecksWin32.cpp); checks that need a device are not applicable when there is none, and the
// open comes last. Changes nothing on the system. Windows' checks look at neither the roots
// nor the user: its ports need no group, and they are always opened exclusively.
CheckResults RunChecks(const TroubleshootRequest& request, const SystemRoots& roots,
                       const UserIdentity& user);

// The HART poll that follows the open check `open` (the last of RunChecks without the
// poll): on `serial`, whose wake-up cancels it, when the port opened; not applicable else.
CheckResult HartPollAfter(const CheckResult& open, const TroubleshootRequest& request,
                          CSerial& serial);
