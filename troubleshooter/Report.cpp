#include "troubleshooter/Report.h"

void WriteReport(std::ostream& out, const std::string& portHeading, const CheckResults& results) {
    out << "Tralvo COM troubleshooter: " << portHeading << "\n\n";
    unsigned failed = 0;
    for (const auto& result : results) {
        out << '[' << OutcomeText(result.outcome) << "] " << result.title << ": "
            << result.explanation << '\n';
        if (result.outcome == CheckOutcome::Fail) {
            ++failed;
            if (!result.fix.empty()) out << "       Fix: " << result.fix << '\n';
        }
    }
    out << '\n';
    if (failed == 0) {
        out << "All checks passed.\n";
    } else {
        out << failed << (failed == 1 ? " check" : " checks") << " failed.\n";
    }
}

int ReportExitCode(const CheckResults& results) { return AllPassed(results) ? 0 : 1; }
