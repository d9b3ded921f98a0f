#include "troubleshooter/Troubleshooter.h"

#include "troubleshooter/CheckTitles.h"
#include "troubleshooter/SharedChecks.h"

CheckResult HartPollAfter(const CheckResult& open, const TroubleshootRequest& request,
                          CSerial& serial) {
    if (open.outcome == CheckOutcome::Pass)
        return CheckHartPoll(request.comNumber, request.pollAttempts, serial);
    return NotApplicable(kHartPollTitle,
                         CheckText(QT_TRANSLATE_NOOP("Troubleshooter",
                                                     "The port does not open, so nothing can be "
                                                     "polled.")));
}
