#include "troubleshooter/CheckResult.h"

#include <algorithm>

const char* OutcomeText(CheckOutcome outcome) {
    switch (outcome) {
        case CheckOutcome::Pass:
            return "PASS";
        case CheckOutcome::Fail:
            return "FAIL";
        case CheckOutcome::NotApplicable:
            break;
    }
    return "N/A";
}

bool AllPassed(const CheckResults& results) {
    return std::none_of(results.begin(), results.end(),
                        [](const CheckResult& r) { return r.outcome == CheckOutcome::Fail; });
}
