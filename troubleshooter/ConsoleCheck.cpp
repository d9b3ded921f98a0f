#include <fstream>
#include <sstream>

#include "troubleshooter/Checks.h"

bool IsKernelConsole(const std::string& path, const SystemRoots& roots) {
    const std::string name = path.substr(path.find_last_of('/') + 1);
    std::ifstream active(roots.sys + "/class/tty/console/active");
    std::string line;
    std::getline(active, line);
    std::istringstream consoles(line);
    for (std::string console; consoles >> console;) {
        if (console == name) return true;
    }
    return false;
}

CheckResult ConsoleRefusal(const std::string& title, const std::string& path) {
    return {title, CheckOutcome::Fail,
            path + " is the kernel console, so it is left alone: a modem is not on it.",
            "Choose the port of the modem (ls -l /dev/ttyUSB* /dev/ttyACM*)."};
}
