#include <sys/ioctl.h>

#include <cerrno>
#include <cstring>

#include "hart/HartFrame.h"
#include "serial/Serial.h"
#include "troubleshooter/CheckTitles.h"
#include "troubleshooter/Checks.h"

namespace {

// The program's own serial class, with a look at its descriptor to read the modem lines
// back.
class ProbedSerial : public CSerial {
public:
    int Descriptor() const { return m_port; }
};

std::string ErrorText(SerialStatus status) {
    return std::string(std::strerror(status)) + " (" + std::to_string(status) + ")";
}

std::string FixFor(SerialStatus status) {
    switch (status) {
        case EBUSY:
            return CheckText(QT_TRANSLATE_NOOP(
                "Troubleshooter",
                "Another program holds the port: see the check of other users above."));
        case EACCES:
        case EPERM:
            return CheckText(QT_TRANSLATE_NOOP("Troubleshooter", "See the access check above."));
        case ENOENT:
        case ENODEV:
        case EIO:
            return CheckText(QT_TRANSLATE_NOOP("Troubleshooter",
                                               "Plug the modem in again; if it came up under "
                                               "another number, choose that port."));
        default:
            return CheckText(QT_TRANSLATE_NOOP("Troubleshooter",
                                               "Unplug and replug the modem; if that does not "
                                               "help, look at: sudo dmesg | tail"));
    }
}

}  // namespace

CheckResult CheckOpen(const std::string& path) {
    const std::string title = CheckText(kOpenTitle);
    ProbedSerial serial;
    if (const SerialStatus status = serial.Open(path.c_str(), 1024, 1024)) {
        return {title, CheckOutcome::Fail,
                CheckText(QT_TRANSLATE_NOOP("Troubleshooter", "%1 does not open: %2."),
                          {path, ErrorText(status)}),
                FixFor(status)};
    }
    if (const SerialStatus status = serial.SetHartLine(hart::kLineBaud)) {
        serial.Close();
        return {title, CheckOutcome::Fail,
                CheckText(
                    QT_TRANSLATE_NOOP("Troubleshooter", "%1 opens but refuses 1200 baud 8O1: %2."),
                    {path, ErrorText(status)}),
                FixFor(status)};
    }
    int lines = 0;
    const bool haveModemLines = ioctl(serial.Descriptor(), TIOCMGET, &lines) == 0;
    if (!haveModemLines) {
        serial.Close();
        return OpenedWithModemLines(path, ModemLines::Missing);
    }
    const SerialStatus rtsDown = serial.SetRts(false);
    const SerialStatus rtsUp = serial.SetRts(true);
    ioctl(serial.Descriptor(), TIOCMGET, &lines);
    serial.Close();
    const bool dtrOn = lines & TIOCM_DTR;
    const bool refused = rtsDown || rtsUp || !dtrOn || !(lines & TIOCM_RTS);
    return OpenedWithModemLines(path, refused ? ModemLines::Refused : ModemLines::Driven);
}
