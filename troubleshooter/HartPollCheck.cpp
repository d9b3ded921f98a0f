#include <cstdio>

#include "hart/Clock.h"
#include "hart/HartLink.h"
#include "troubleshooter/Checks.h"

namespace {
constexpr const char* kTitle = "HART identity poll at address 0";
constexpr uint32_t kHartBaud = 1200;
}  // namespace

CheckResult CheckHartPoll(unsigned comNumber, unsigned attempts) {
    if (comNumber > 255) return NotApplicable(kTitle, "Tralvo cannot poll above COM255.");
    CSerial serial;
    CHartLink link(serial, SystemClock());
    const unsigned opened = link.OpenPort(static_cast<uint8_t>(comNumber), kHartBaud);
    if (opened != kLinkOk) {
        link.ClosePort();
        return {kTitle, CheckOutcome::Fail,
                "The link could not open COM" + std::to_string(comNumber) + " (code " +
                    std::to_string(opened) + ").",
                "Fix the checks above first."};
    }
    const bool answered = link.PollIdentity(0, static_cast<uint8_t>(attempts));
    link.ClosePort();
    if (!answered) {
        return {kTitle, CheckOutcome::Fail, "No device answered at polling address 0.",
                "Check the modem's loop connection, loop power and the 250 ohm load; a device "
                "at another address is found by the network poll in Tralvo."};
    }
    char identity[96];
    std::snprintf(identity, sizeof identity,
                  "A device answered: manufacturer %u, device type %u, ID %02X%02X%02X.",
                  link.m_nManufacturer, link.m_nDeviceType, link.m_deviceId[0], link.m_deviceId[1],
                  link.m_deviceId[2]);
    return {kTitle, CheckOutcome::Pass, identity, {}};
}
