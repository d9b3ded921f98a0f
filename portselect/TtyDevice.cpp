#include "portselect/TtyDevice.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <charconv>
#include <fstream>
#include <sstream>

namespace {

// One line of the table: "usbserial  /dev/ttyUSB  188 0-511 serial".
bool Serves(const std::string& line, unsigned major, unsigned minor) {
    std::istringstream fields(line);
    std::string name, node, minors, type;
    unsigned driverMajor = 0;
    if (!(fields >> name >> node >> driverMajor >> minors >> type)) return false;
    if (driverMajor != major || (type != "serial" && type != "pty:slave")) return false;
    // "64" or "0-1048575".
    unsigned first = 0, last = 0;
    const char* end = minors.data() + minors.size();
    const auto [afterFirst, firstError] = std::from_chars(minors.data(), end, first);
    if (firstError != std::errc()) return false;
    last = first;
    if (afterFirst != end &&
        (*afterFirst != '-' || std::from_chars(afterFirst + 1, end, last).ec != std::errc())) {
        return false;
    }
    return minor >= first && minor <= last;
}

}  // namespace

bool IsSerialTty(const std::string& path, const std::string& procRoot) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0 || !S_ISCHR(info.st_mode)) return false;
    std::ifstream drivers(procRoot + "/tty/drivers");
    if (!drivers) return true;
    for (std::string line; std::getline(drivers, line);) {
        if (Serves(line, major(info.st_rdev), minor(info.st_rdev))) return true;
    }
    return false;
}
