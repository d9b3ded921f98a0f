#include "troubleshooter/TerminalProbe.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>

namespace {

std::string SysfsClass(const std::string& sysRoot, dev_t device) {
    const std::string link = sysRoot + "/dev/char/" + std::to_string(major(device)) + ":" +
                             std::to_string(minor(device)) + "/subsystem";
    char target[4096];
    const ssize_t length = readlink(link.c_str(), target, sizeof target - 1);
    if (length <= 0) return {};
    const std::string path(target, static_cast<size_t>(length));
    return path.substr(path.find_last_of('/') + 1);
}

}  // namespace

TerminalKind ExamineTerminal(const std::string& path, const std::string& sysRoot) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) return TerminalKind::Unknown;
    if (!S_ISCHR(info.st_mode)) return TerminalKind::NotTerminal;
    const std::string deviceClass = SysfsClass(sysRoot, info.st_rdev);
    if (!deviceClass.empty()) {
        return deviceClass == "tty" ? TerminalKind::Terminal : TerminalKind::NotTerminal;
    }
    const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    // Only a tty's TIOCEXCL refuses an open with EBUSY.
    if (fd < 0) return errno == EBUSY ? TerminalKind::Terminal : TerminalKind::Unknown;
    const bool isTerminal = isatty(fd) == 1;
    close(fd);
    return isTerminal ? TerminalKind::Terminal : TerminalKind::NotTerminal;
}
