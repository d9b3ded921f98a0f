#include "troubleshooter/ListedPortChecks.h"

#include "serial/ComNumberText.h"
#include "troubleshooter/CheckText.h"
#include "troubleshooter/CheckTitles.h"
#include "troubleshooter/SharedChecks.h"

namespace {

// Win32's codes, by number: this logic also runs where <windows.h> is not there.
constexpr SerialStatus kFileNotFound = 2;  // ERROR_FILE_NOT_FOUND
constexpr SerialStatus kPathNotFound = 3;  // ERROR_PATH_NOT_FOUND
constexpr SerialStatus kAccessDenied = 5;  // ERROR_ACCESS_DENIED

bool IsNotThere(SerialStatus status) { return status == kFileNotFound || status == kPathNotFound; }

std::string ErrorText(SerialStatus status, SystemErrorText errorText) {
    const char* text = errorText ? errorText(status) : nullptr;
    return std::string(text && *text ? text : "error") + " (" + std::to_string(status) + ")";
}

std::string ReplugFix() {
    return CheckText(QT_TRANSLATE_NOOP("Troubleshooter",
                                       "Unplug and replug the modem; if that does not help, look "
                                       "at the port in Device Manager."));
}

CheckResult OpenRefused(const std::string& com, SerialStatus status, SystemErrorText errorText) {
    const std::string title = CheckText(kOpenTitle);
    const std::string why = ErrorText(status, errorText);
    if (status == kAccessDenied) {
        return {
            title, CheckOutcome::Fail,
            CheckText(QT_TRANSLATE_NOOP("Troubleshooter", "%1 is in use by another program: %2."),
                      {com, why}),
            CheckText(QT_TRANSLATE_NOOP("Troubleshooter",
                                        "Close the program that uses %1 (another Tralvo, a "
                                        "terminal program, a modem's setup tool) and run the "
                                        "checks again."),
                      {com})};
    }
    if (IsNotThere(status)) {
        return {title, CheckOutcome::Fail,
                CheckText(QT_TRANSLATE_NOOP("Troubleshooter", "%1 is not there: %2."), {com, why}),
                CheckText(QT_TRANSLATE_NOOP("Troubleshooter",
                                            "Plug the modem in again; if it came up under "
                                            "another number, choose that port."))};
    }
    return {title, CheckOutcome::Fail,
            CheckText(QT_TRANSLATE_NOOP("Troubleshooter", "%1 does not open: %2."), {com, why}),
            ReplugFix()};
}

}  // namespace

std::optional<unsigned> ComNumberInName(const std::string& friendlyName) {
    const size_t open = friendlyName.rfind("(COM");
    const size_t close = friendlyName.find(')', open);
    if (open == std::string::npos || close == std::string::npos) return std::nullopt;
    return ExactPortNumber(friendlyName.substr(open + 1, close - open - 1));
}

PortPresence FindListedPort(unsigned comNumber, const IPortSource& source, std::string dosTarget) {
    PortPresence presence;
    presence.dosTarget = std::move(dosTarget);
    // A list cut short by an error still names the ports it found.
    std::vector<PortRecord> records;
    source.ReadPorts(records);
    for (PortRecord& record : records) {
        if (ComNumberInName(record.friendlyName) == comNumber) {
            presence.record = std::move(record);
            break;
        }
    }
    return presence;
}

CheckResult CheckPortPresent(unsigned comNumber, const PortPresence& presence) {
    const std::string title = CheckText(kDeviceTitle);
    const std::string com = PortTextFromNumber(comNumber);
    if (presence.record) {
        return {title,
                CheckOutcome::Pass,
                CheckText(QT_TRANSLATE_NOOP("Troubleshooter", "The system lists %1 as \"%2\"."),
                          {com, presence.record->friendlyName}),
                {}};
    }
    if (!presence.dosTarget.empty()) {
        return {title,
                CheckOutcome::Pass,
                CheckText(QT_TRANSLATE_NOOP("Troubleshooter",
                                            "%1 leads to %2, though the system's list of ports "
                                            "does not show it."),
                          {com, presence.dosTarget}),
                {}};
    }
    if (presence.answersToName) {
        return {title,
                CheckOutcome::Pass,
                CheckText(QT_TRANSLATE_NOOP("Troubleshooter",
                                            "A device answers to %1, though the system's list of "
                                            "ports does not show it."),
                          {com}),
                {}};
    }
    return {title, CheckOutcome::Fail,
            CheckText(QT_TRANSLATE_NOOP("Troubleshooter",
                                        "The system has no %1: the modem may be unplugged or have "
                                        "come up under another number."),
                      {com}),
            CheckText(QT_TRANSLATE_NOOP("Troubleshooter",
                                        "Plug the modem in, look for it under \"Ports (COM & "
                                        "LPT)\" in Device Manager, and choose the port it "
                                        "shows."))};
}

CheckResult DescribeDriver(const PortPresence& presence) {
    if (!presence.record) {
        return NotApplicable(kDriverTitle, CheckText(QT_TRANSLATE_NOOP(
                                               "Troubleshooter",
                                               "The system's list of ports does not show "
                                               "the port, so nothing is known of its driver.")));
    }
    const PortDetails& details = presence.record->details;
    std::string text = presence.record->friendlyName;
    const auto add = [&text](const std::string& part) {
        text += (text.empty() ? "" : ", ") + part;
    };
    if (!details.driver.empty())
        add(CheckText(QT_TRANSLATE_NOOP("Troubleshooter", "driver %1"), {details.driver}));
    if (!details.manufacturer.empty())
        add(CheckText(QT_TRANSLATE_NOOP("Troubleshooter", "manufacturer %1"),
                      {details.manufacturer}));
    if (!details.usbId.empty())
        add(CheckText(QT_TRANSLATE_NOOP("Troubleshooter", "USB id %1"), {details.usbId}));
    if (details.driver.empty())
        add(CheckText(QT_TRANSLATE_NOOP("Troubleshooter", "the system names no driver")));
    return {CheckText(kDriverTitle), CheckOutcome::Info, text, {}};
}

CheckResult CheckExclusiveOpen(unsigned comNumber, const OpenAttempt& attempt,
                               SystemErrorText errorText) {
    const std::string title = CheckText(kOpenTitle);
    const std::string com = PortTextFromNumber(comNumber);
    if (attempt.open != kSerialSuccess) return OpenRefused(com, attempt.open, errorText);
    if (attempt.line != kSerialSuccess) {
        return {title, CheckOutcome::Fail,
                CheckText(
                    QT_TRANSLATE_NOOP("Troubleshooter", "%1 opens but refuses 1200 baud 8O1: %2."),
                    {com, ErrorText(attempt.line, errorText)}),
                ReplugFix()};
    }
    if (LacksModemLines(attempt.rts)) return OpenedWithModemLines(com, ModemLines::Missing);
    return OpenedWithModemLines(
        com, attempt.rts == kSerialSuccess ? ModemLines::Driven : ModemLines::Refused);
}

CheckResults RunListedPortChecks(const TroubleshootRequest& request, const IPortSource& source,
                                 const PortProbe& probe) {
    PortPresence presence = FindListedPort(
        request.comNumber, source, probe.dosTarget ? probe.dosTarget(request.comNumber) : "");
    const OpenAttempt attempt =
        probe.tryOpen ? probe.tryOpen(request.comNumber) : OpenAttempt{kFileNotFound};
    presence.answersToName = !IsNotThere(attempt.open);
    CheckResults results;
    results.push_back(CheckPortPresent(request.comNumber, presence));
    results.push_back(DescribeDriver(presence));
    if (results.front().outcome != CheckOutcome::Pass) {
        results.push_back(NotApplicable(
            kOpenTitle,
            CheckText(QT_TRANSLATE_NOOP("Troubleshooter", "There is no device to open."))));
    } else {
        results.push_back(CheckExclusiveOpen(request.comNumber, attempt, probe.errorText));
    }
    return results;
}
