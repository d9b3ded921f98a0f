#include "serial/OpenFailureReason.h"

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <vector>

#include "serial/ComNumberText.h"
#include "serial/ComPortMap.h"
#include "serial/PortHolders.h"

namespace {

using Kind = OpenFailureReason::Kind;

constexpr size_t kLargestGroupEntry = 1 << 20;

// A link that leads nowhere is shown with where it points, which is what is missing.
std::string ShownPath(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) == 0 || lstat(path.c_str(), &info) != 0 ||
        !S_ISLNK(info.st_mode)) {
        return FinalPath(path);
    }
    char target[4096];
    const ssize_t length = readlink(path.c_str(), target, sizeof target - 1);
    if (length <= 0) return path;
    return path + " -> " + std::string(target, static_cast<size_t>(length));
}

bool IsNoDevice(SerialStatus status) {
    return status == ENOENT || status == ENODEV || status == ENXIO;
}

// Joining the device's group helps only where that group may read and write it; the
// group of root is never the one to join.
void DescribePermission(SerialStatus status, const struct stat& info,
                        const OpenFailureSystem& system, OpenFailureReason& reason) {
    if ((info.st_mode & (S_IRGRP | S_IWGRP)) != (S_IRGRP | S_IWGRP) || info.st_gid == 0) {
        reason.kind = Kind::Other;
        reason.systemText = SerialStatusText(status);
        return;
    }
    reason.kind = Kind::PermissionDenied;
    // usermod takes a group's number as well as its name.
    reason.group = system.groupName(info.st_gid).value_or(std::to_string(info.st_gid));
}

void DescribeHolder(const std::string& device, const OpenFailureSystem& system,
                    OpenFailureReason& reason) {
    const PortHolders found = FindPortHolders(device, system.proc);
    if (found.holders.empty()) {
        reason.kind = Kind::HeldByUnknown;
        return;
    }
    // The lock's owner is the one that keeps the port; failing that, the other end of a pty
    // keeps the slave open too, so a holder of its own is the one to name.
    auto named = std::find_if(found.holders.begin(), found.holders.end(),
                              [](const PortHolder& holder) { return holder.holdsLock; });
    if (named == found.holders.end()) {
        named = std::find_if(found.holders.begin(), found.holders.end(),
                             [](const PortHolder& holder) { return !holder.holdsPtyMaster; });
    }
    const PortHolder& holder = named != found.holders.end() ? *named : found.holders.front();
    reason.kind = Kind::Held;
    reason.holderName = holder.name;
    reason.holderPid = holder.pid;
}

}  // namespace

std::optional<std::string> SystemGroupName(uint32_t gid) {
    const long suggested = sysconf(_SC_GETGR_R_SIZE_MAX);
    std::vector<char> buffer(suggested > 0 ? static_cast<size_t>(suggested) : 16384);
    group entry{};
    group* found = nullptr;
    int error = 0;
    // Groups with many members need more room than the suggested size.
    while ((error = getgrgid_r(gid, &entry, buffer.data(), buffer.size(), &found)) == ERANGE &&
           buffer.size() < kLargestGroupEntry) {
        buffer.resize(buffer.size() * 2);
    }
    if (error != 0 || !found || !found->gr_name) return std::nullopt;
    return std::string(found->gr_name);
}

OpenFailureReason DescribeOpenFailure(unsigned comNumber, SerialStatus status,
                                      const OpenFailureSystem& system) {
    OpenFailureReason reason;
    const auto mapped = DeviceForComNumber(comNumber);
    if (!mapped) {
        reason.kind = Kind::NoDevice;
        reason.device = PortTextFromNumber(comNumber);
        return reason;
    }
    const std::string path = PathUnderDevRoot(system.dev, *mapped);
    reason.device = ShownPath(path);
    const std::string device = FinalPath(path);
    struct stat info {};
    const bool exists = stat(device.c_str(), &info) == 0;

    if (status == kSerialKernelConsole) {
        reason.kind = Kind::SystemConsole;
    } else if (status == kSerialLineRefused) {
        reason.kind = Kind::LineRefused;
    } else if ((exists && !S_ISCHR(info.st_mode)) || status == ENOTTY) {
        reason.kind = Kind::NotSerial;
    } else if (IsNoDevice(status) || !exists) {
        reason.kind = Kind::NoDevice;
    } else if (status == EACCES || status == EPERM) {
        DescribePermission(status, info, system, reason);
    } else if (status == EBUSY) {
        DescribeHolder(device, system, reason);
    } else {
        reason.systemText = SerialStatusText(status);
    }
    return reason;
}
