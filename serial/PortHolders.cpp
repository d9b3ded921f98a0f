#include "serial/PortHolders.h"

#include <dirent.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <optional>
#include <sstream>

namespace {

// Unix98 pty slaves: majors 136 to 143, 256 minors each.
constexpr unsigned kPtySlaveFirstMajor = 136;
constexpr unsigned kPtySlaveMajors = 8;

struct NodeId {
    bool isCharDevice = false;
    dev_t rdev = 0;
    dev_t dev = 0;
    ino_t ino = 0;
};

std::optional<NodeId> IdOf(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) return std::nullopt;
    return NodeId{S_ISCHR(info.st_mode), info.st_rdev, info.st_dev, info.st_ino};
}

bool SameNode(const NodeId& a, const NodeId& b) {
    if (a.isCharDevice || b.isCharDevice) {
        return a.isCharDevice && b.isCharDevice && a.rdev == b.rdev;
    }
    return a.dev == b.dev && a.ino == b.ino;
}

std::optional<unsigned> PtyIndex(const NodeId& node) {
    if (!node.isCharDevice) return std::nullopt;
    const unsigned majorNumber = major(node.rdev);
    if (majorNumber < kPtySlaveFirstMajor || majorNumber >= kPtySlaveFirstMajor + kPtySlaveMajors) {
        return std::nullopt;
    }
    return (majorNumber - kPtySlaveFirstMajor) * 256 + minor(node.rdev);
}

bool IsNumber(const char* text) {
    return *text && std::strspn(text, "0123456789") == std::strlen(text);
}

std::vector<std::string> NumberedEntries(const std::string& folder) {
    std::vector<std::string> names;
    if (DIR* dir = opendir(folder.c_str())) {
        while (const dirent* entry = readdir(dir)) {
            if (IsNumber(entry->d_name)) names.emplace_back(entry->d_name);
        }
        closedir(dir);
    }
    return names;
}

std::string ReadLink(const std::string& link) {
    char target[4096];
    const ssize_t length = readlink(link.c_str(), target, sizeof target - 1);
    return length > 0 ? std::string(target, static_cast<size_t>(length)) : std::string();
}

bool EndsWith(const std::string& text, const char* tail) {
    const size_t length = std::strlen(tail);
    return text.size() >= length && text.compare(text.size() - length, length, tail) == 0;
}

// The kernel names the pty a master descriptor serves in its fdinfo ("tty-index:").
// Without that line (old kernels) any master may be this pty's.
bool MastersPty(const std::string& fdinfoFile, unsigned ptyIndex) {
    std::ifstream info(fdinfoFile);
    for (std::string line; std::getline(info, line);) {
        if (line.rfind("tty-index:", 0) != 0) continue;
        try {
            return std::stoul(line.substr(std::strlen("tty-index:"))) == ptyIndex;
        } catch (...) {
            return true;
        }
    }
    return true;
}

std::string ProcessName(const std::string& processFolder) {
    std::ifstream comm(processFolder + "/comm");
    std::string name;
    std::getline(comm, name);
    return name.empty() ? "?" : name;
}

// The processes holding a flock or a POSIX/OFD lock on the node, from the kernel's table of
// held locks. Lines look like "1: FLOCK  ADVISORY  WRITE 1234 00:05:123 0 EOF"; a line with
// "->" after the number is a process waiting for the lock, which holds nothing.
std::vector<std::string> LockHolderPids(const std::string& locksFile, const NodeId& node) {
    std::vector<std::string> pids;
    std::ifstream locks(locksFile);
    for (std::string line; std::getline(locks, line);) {
        std::istringstream fields(line);
        std::string number, kind, mode, access, pid, id;
        if (!(fields >> number >> kind) || kind == "->") continue;
        if (!(fields >> mode >> access >> pid >> id)) continue;
        unsigned long majorNumber = 0, minorNumber = 0, inode = 0;
        char tail = 0;
        if (std::sscanf(id.c_str(), "%lx:%lx:%lu%c", &majorNumber, &minorNumber, &inode, &tail) !=
            3) {
            continue;
        }
        if (major(node.dev) != majorNumber || minor(node.dev) != minorNumber || node.ino != inode)
            continue;
        // An open file description lock has no owning process (-1).
        if (IsNumber(pid.c_str()) && std::find(pids.begin(), pids.end(), pid) == pids.end())
            pids.push_back(pid);
    }
    return pids;
}

// The node itself, not the device it stands for: a lock is on an inode.
std::optional<NodeId> NodeOf(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) return std::nullopt;
    return NodeId{false, 0, info.st_dev, info.st_ino};
}

}  // namespace

PortHolders FindPortHolders(const std::string& device, const std::string& procRoot) {
    PortHolders found;
    const auto node = IdOf(device);
    if (!node) return found;
    const auto ptyIndex = PtyIndex(*node);
    const std::string self = std::to_string(getpid());
    for (const auto& pid : NumberedEntries(procRoot)) {
        if (pid == self) continue;
        const std::string folder = procRoot + "/" + pid;
        if (access((folder + "/fd").c_str(), R_OK | X_OK) != 0) {
            ++found.unreadable;
            continue;
        }
        bool usesDevice = false;
        bool holdsMaster = false;
        for (const auto& fd : NumberedEntries(folder + "/fd")) {
            const std::string link = folder + "/fd/" + fd;
            const std::string target = ReadLink(link);
            // Sockets, pipes and event descriptors are never a device node; stat on them is
            // wasted.
            if (target.empty() || target.find(":[") != std::string::npos) continue;
            if (ptyIndex && EndsWith(target, "/ptmx")) {
                holdsMaster = holdsMaster || MastersPty(folder + "/fdinfo/" + fd, *ptyIndex);
                continue;
            }
            const auto other = IdOf(link);
            usesDevice = usesDevice || (other && SameNode(*node, *other));
        }
        if (usesDevice) found.holders.push_back({pid, ProcessName(folder), false, holdsMaster});
    }
    const auto lockedNode = NodeOf(device);
    if (!lockedNode) return found;
    for (const auto& pid : LockHolderPids(procRoot + "/locks", *lockedNode)) {
        if (pid == self) continue;
        auto holder = std::find_if(found.holders.begin(), found.holders.end(),
                                   [&pid](const PortHolder& known) { return known.pid == pid; });
        if (holder == found.holders.end()) {
            // Another user's process, or one whose descriptors were closed by a fork.
            found.holders.push_back({pid, ProcessName(procRoot + "/" + pid), true, false});
        } else {
            holder->holdsLock = true;
        }
    }
    return found;
}
