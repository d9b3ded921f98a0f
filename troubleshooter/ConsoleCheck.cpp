#include "troubleshooter/Checks.h"

CheckResult ConsoleRefusal(const char* title, const std::string& path) {
    return {CheckText(title), CheckOutcome::Fail,
            CheckText(QT_TRANSLATE_NOOP("Troubleshooter",
                                        "%1 is the kernel console, so it is left alone: a modem "
                                        "is not on it."),
                      {path}),
            CheckText(QT_TRANSLATE_NOOP("Troubleshooter",
                                        "Choose the port of the modem (ls -l /dev/ttyUSB* "
                                        "/dev/ttyACM*)."))};
}
