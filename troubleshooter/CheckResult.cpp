#include "troubleshooter/CheckResult.h"

#include <algorithm>

#include "troubleshooter/CheckText.h"

std::string OutcomeText(CheckOutcome outcome) {
    switch (outcome) {
        case CheckOutcome::Pass:
            return CheckText(QT_TRANSLATE_NOOP("Troubleshooter", "PASS"));
        case CheckOutcome::Fail:
            return CheckText(QT_TRANSLATE_NOOP("Troubleshooter", "FAIL"));
        case CheckOutcome::Info:
            return CheckText(QT_TRANSLATE_NOOP("Troubleshooter", "INFO"));
        case CheckOutcome::NotApplicable:
            break;
    }
    return CheckText(QT_TRANSLATE_NOOP("Troubleshooter", "N/A"));
}

const char* OutcomeToken(CheckOutcome outcome) {
    switch (outcome) {
        case CheckOutcome::Pass:
            return "pass";
        case CheckOutcome::Fail:
            return "fail";
        case CheckOutcome::Info:
            return "info";
        case CheckOutcome::NotApplicable:
            break;
    }
    return "not_applicable";
}

bool AllPassed(const CheckResults& results) {
    return std::none_of(results.begin(), results.end(),
                        [](const CheckResult& r) { return r.outcome == CheckOutcome::Fail; });
}
