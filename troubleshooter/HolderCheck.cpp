#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <vector>

#include "serial/ComPortMap.h"
#include "troubleshooter/Checks.h"

namespace {

constexpr const char* kTitle = "Other users of the port";

struct Holder {
    std::string pid;
    std::string name;
};

bool IsNumber(const char* text) {
    return *text && std::strspn(text, "0123456789") == std::strlen(text);
}

std::vector<std::string> Entries(const std::string& folder) {
    std::vector<std::string> names;
    if (DIR* dir = opendir(folder.c_str())) {
        while (const dirent* entry = readdir(dir)) {
            if (IsNumber(entry->d_name)) names.emplace_back(entry->d_name);
        }
        closedir(dir);
    }
    return names;
}

std::string ProcessName(const std::string& processFolder) {
    std::ifstream comm(processFolder + "/comm");
    std::string name;
    std::getline(comm, name);
    return name.empty() ? "?" : name;
}

// Processes with a descriptor on the device; processes whose descriptors we may not read
// (other users' when not root) are counted instead.
std::vector<Holder> FindHolders(const std::string& device, const std::string& procRoot,
                                unsigned* unreadable) {
    std::vector<Holder> holders;
    const std::string self = std::to_string(getpid());
    for (const auto& pid : Entries(procRoot)) {
        if (pid == self) continue;
        const std::string folder = procRoot + "/" + pid;
        const std::string fdFolder = folder + "/fd";
        if (access(fdFolder.c_str(), R_OK | X_OK) != 0) {
            ++*unreadable;
            continue;
        }
        for (const auto& fd : Entries(fdFolder)) {
            char target[4096];
            const std::string link = fdFolder + "/" + fd;
            const ssize_t length = readlink(link.c_str(), target, sizeof target - 1);
            if (length <= 0) continue;
            if (std::string(target, static_cast<size_t>(length)) == device) {
                holders.push_back({pid, ProcessName(folder)});
                break;
            }
        }
    }
    return holders;
}

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
    unsigned unreadable = 0;
    const auto holders = FindHolders(FinalPath(path), roots.proc, &unreadable);
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
