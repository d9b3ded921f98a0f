#include "hart/Clock.h"
#include "hart/HartLink.h"
#include "hart/IdentityText.h"
#include "troubleshooter/CheckTitles.h"
#include "troubleshooter/SharedChecks.h"

CheckResult CheckHartPoll(unsigned comNumber, unsigned attempts, CSerial& serial) {
    if (comNumber > 255) {
        return NotApplicable(
            kHartPollTitle,
            CheckText(QT_TRANSLATE_NOOP("Troubleshooter", "Tralvo cannot poll above COM255.")));
    }
    const std::string title = CheckText(kHartPollTitle);
    CHartLink link(serial, SystemClock());
    const unsigned opened = link.OpenPort(static_cast<uint8_t>(comNumber), hart::kLineBaud);
    if (opened != kLinkOk) {
        link.ClosePort();
        return {title, CheckOutcome::Fail,
                CheckText(
                    QT_TRANSLATE_NOOP("Troubleshooter", "The link could not open COM%1 (code %2)."),
                    {std::to_string(comNumber), std::to_string(opened)}),
                CheckText(QT_TRANSLATE_NOOP("Troubleshooter", "Fix the checks above first."))};
    }
    const bool answered = link.PollIdentity(0, static_cast<uint8_t>(attempts));
    link.ClosePort();
    if (link.StopRequested()) {
        return NotApplicable(kHartPollTitle, CheckText(QT_TRANSLATE_NOOP(
                                                 "Troubleshooter", "The poll was cancelled.")));
    }
    if (!answered) {
        return {title, CheckOutcome::Fail,
                CheckText(QT_TRANSLATE_NOOP("Troubleshooter",
                                            "No device answered at polling address 0.")),
                CheckText(QT_TRANSLATE_NOOP("Troubleshooter",
                                            "Check the modem's loop connection, loop power and "
                                            "the 250 ohm load; a device at another address is "
                                            "found by the network poll in Tralvo."))};
    }
    return {title,
            CheckOutcome::Pass,
            CheckText(QT_TRANSLATE_NOOP("Troubleshooter",
                                        "A device answered: manufacturer %1, device type %2, "
                                        "HART ID %3."),
                      {IdentityCodeText(link.m_nManufacturer), IdentityCodeText(link.m_nDeviceType),
                       HartIdText(DeviceIdOf(link))}),
            {}};
}
