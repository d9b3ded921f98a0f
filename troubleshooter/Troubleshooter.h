#pragma once

#include "troubleshooter/CheckResult.h"
#include "troubleshooter/SystemRoots.h"

struct TroubleshootRequest {
    unsigned comNumber = 0;
    bool pollHart = false;
    unsigned pollAttempts = 3;
};

// Runs every check for one COM port in order; checks that need a device are not
// applicable when there is none. Changes nothing on the system.
CheckResults RunChecks(const TroubleshootRequest& request, const SystemRoots& roots,
                       const UserIdentity& user);
