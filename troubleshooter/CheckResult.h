#pragma once

#include <string>
#include <vector>

// One finding of the troubleshooter: what was checked, how it came out, one sentence on
// why, and on failure the command or step that fixes it.
enum class CheckOutcome { Pass, Fail, NotApplicable };

struct CheckResult {
    std::string title;
    CheckOutcome outcome = CheckOutcome::NotApplicable;
    std::string explanation;
    std::string fix;  // empty unless the check failed
};

using CheckResults = std::vector<CheckResult>;

// "PASS", "FAIL", "N/A".
const char* OutcomeText(CheckOutcome outcome);

bool AllPassed(const CheckResults& results);
