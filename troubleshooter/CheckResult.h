#pragma once

#include <string>
#include <vector>

// One finding of the troubleshooter: what was checked, how it came out, one sentence on
// why, and on failure the command or step that fixes it. Info is a finding worth reading
// that does not stop Tralvo from using the port, so it never fails a report.
enum class CheckOutcome { Pass, Fail, NotApplicable, Info };

struct CheckResult {
    std::string title;
    CheckOutcome outcome = CheckOutcome::NotApplicable;
    std::string explanation;
    std::string fix;  // empty unless the check failed
};

using CheckResults = std::vector<CheckResult>;

// "PASS", "FAIL", "N/A", "INFO", in the interface language.
std::string OutcomeText(CheckOutcome outcome);

// The same for scripts, never translated: "pass", "fail", "not_applicable", "info".
const char* OutcomeToken(CheckOutcome outcome);

bool AllPassed(const CheckResults& results);
