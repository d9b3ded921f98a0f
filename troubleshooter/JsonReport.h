#pragma once

#include <ostream>
#include <string>

#include "troubleshooter/CheckResult.h"

// `--report --json`: one JSON object for scripts,
//   {"port": "COM33", "outcome": "pass" | "fail", "failed": <count>,
//    "checks": [{"title", "result", "detail", "suggestion"}, ...]}
// "result" and "outcome" are fixed tokens (OutcomeToken); the texts are those of the plain
// report, in the interface language. "suggestion" is empty unless the check failed. With
// an `error` (no port to check) the object also carries "error" and the outcome is "fail".
void WriteJsonReport(std::ostream& out, const std::string& port, const CheckResults& results,
                     const std::string& error = {});
