#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "serial/ComPortMap.h"
#include "serial/PortHolders.h"
#include "troubleshooter/Checks.h"

namespace {

constexpr const char* kTitle = "Other users of the port";

enum class LockProbe { Free, Held, NotProbed };

LockProbe ProbeLock(const std::string& path) {
    // Opening without O_NONBLOCK could wait for carrier on a real line.
    const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return errno == EBUSY ? LockProbe::Held : LockProbe::NotProbed;
    LockProbe result = LockProbe::Free;
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        result = errno == EWOULDBLOCK ? LockProbe::Held : LockProbe::NotProbed;
    }
    close(fd);  // drops our lock at once
    return result;
}

}  // namespace

CheckResult CheckHolders(const std::string& path, const SystemRoots& roots) {
    const LockProbe lock = ProbeLock(path);
    const PortHolders found = FindPortHolders(FinalPath(path), roots.proc);
    const auto& holders = found.holders;
    const unsigned unreadable = found.unreadable;
    if (lock != LockProbe::Held && holders.empty()) {
        std::string why = path + " is not locked and no process has it open";
        if (unreadable) why += " (" + std::to_string(unreadable) + " processes could not be seen)";
        if (lock == LockProbe::NotProbed) why += "; its lock could not be probed";
        return {kTitle, CheckOutcome::Pass, why + ".", {}};
    }
    std::string names;
    std::string pids;
    for (const auto& holder : holders) {
        if (!names.empty()) names += ", ";
        names += holder.name + " (PID " + holder.pid + ")";
        pids += " " + holder.pid;
    }
    if (holders.empty()) {
        return {kTitle, CheckOutcome::Fail, path + " is locked by a process this user cannot see.",
                "Find it with: sudo fuser -v " + path + ", then close that program."};
    }
    const std::string state =
        lock == LockProbe::Held ? "is locked and held open by " : "is held open by ";
    return {kTitle, CheckOutcome::Fail, path + " " + state + names + ".",
            "Close " + (holders.size() == 1 ? holders[0].name : std::string("those programs")) +
                ", or end it with: kill" + pids};
}
