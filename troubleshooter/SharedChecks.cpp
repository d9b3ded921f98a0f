#include "troubleshooter/SharedChecks.h"

#include "troubleshooter/CheckTitles.h"

CheckResult NotApplicable(const char* title, const std::string& why) {
    return {CheckText(title), CheckOutcome::NotApplicable, why, {}};
}

CheckResult OpenedWithModemLines(const std::string& port, ModemLines lines) {
    const std::string title = CheckText(kOpenTitle);
    switch (lines) {
        case ModemLines::Missing:
            return {title,
                    CheckOutcome::Pass,
                    CheckText(QT_TRANSLATE_NOOP("Troubleshooter",
                                                "%1 opens at 1200 baud 8O1; it is a virtual port "
                                                "without modem lines (RTS, DTR)."),
                              {port}),
                    {}};
        case ModemLines::Refused:
            return {title, CheckOutcome::Fail,
                    CheckText(QT_TRANSLATE_NOOP("Troubleshooter",
                                                "%1 opens at 1200 baud 8O1, but RTS or DTR cannot "
                                                "be set."),
                              {port}),
                    CheckText(QT_TRANSLATE_NOOP("Troubleshooter",
                                                "Use a modem or adapter with RTS control; some "
                                                "three-wire USB adapters lack it."))};
        case ModemLines::Driven:
            break;
    }
    return {title,
            CheckOutcome::Pass,
            CheckText(QT_TRANSLATE_NOOP("Troubleshooter",
                                        "%1 opens at 1200 baud 8O1, and RTS and DTR can be set."),
                      {port}),
            {}};
}
