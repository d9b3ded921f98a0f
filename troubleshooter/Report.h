#pragma once

#include <ostream>
#include <string>

#include "troubleshooter/CheckResult.h"

// The checks as plain text, one block per check, and a closing summary line.
void WriteReport(std::ostream& out, const std::string& portHeading, const CheckResults& results);

// 0 when every check passed (not-applicable checks aside), 1 otherwise.
int ReportExitCode(const CheckResults& results);
