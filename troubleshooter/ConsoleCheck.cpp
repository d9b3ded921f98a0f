#include "troubleshooter/Checks.h"

CheckResult ConsoleRefusal(const std::string& title, const std::string& path) {
    return {title, CheckOutcome::Fail,
            path + " is the kernel console, so it is left alone: a modem is not on it.",
            "Choose the port of the modem (ls -l /dev/ttyUSB* /dev/ttyACM*)."};
}
