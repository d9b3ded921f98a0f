#include "troubleshooter/Report.h"

#include "troubleshooter/CheckText.h"

void WriteReport(std::ostream& out, const std::string& portHeading, const CheckResults& results) {
    out << CheckText(QT_TRANSLATE_NOOP("Troubleshooter", "Tralvo COM troubleshooter: %1"),
                     {portHeading})
        << "\n\n";
    unsigned failed = 0;
    for (const auto& result : results) {
        out << '[' << OutcomeText(result.outcome) << "] " << result.title << ": "
            << result.explanation << '\n';
        if (result.outcome == CheckOutcome::Fail) {
            ++failed;
            if (!result.fix.empty()) {
                out << "       "
                    << CheckText(QT_TRANSLATE_NOOP("Troubleshooter", "Fix: %1"), {result.fix})
                    << '\n';
            }
        }
    }
    out << '\n';
    if (failed == 0) {
        out << CheckText(QT_TRANSLATE_NOOP("Troubleshooter", "All checks passed.")) << '\n';
    } else if (failed == 1) {
        out << CheckText(QT_TRANSLATE_NOOP("Troubleshooter", "1 check failed.")) << '\n';
    } else {
        out << CheckText(QT_TRANSLATE_NOOP("Troubleshooter", "%1 checks failed."),
                         {std::to_string(failed)})
            << '\n';
    }
}

int ReportExitCode(const CheckResults& results) { return AllPassed(results) ? 0 : 1; }
