#include <sys/stat.h>

#include <algorithm>

#include "troubleshooter/Checks.h"

namespace {

constexpr const char* kTitle = "Access";

std::string ModeText(mode_t mode) {
    std::string text = S_ISCHR(mode) ? "c" : (S_ISLNK(mode) ? "l" : "-");
    const char* letters = "rwxrwxrwx";
    for (int bit = 0; bit < 9; ++bit) {
        text += (mode & (0400 >> bit)) ? letters[bit] : '-';
    }
    return text;
}

bool ReadWrite(mode_t mode, mode_t read, mode_t write) { return (mode & read) && (mode & write); }

}  // namespace

std::optional<DeviceAccess> ReadDeviceAccess(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) return std::nullopt;
    return DeviceAccess{info.st_uid, info.st_gid, info.st_mode};
}

CheckResult CheckAccess(const std::string& path, const DeviceAccess& access,
                        const UserIdentity& user, const GroupDatabase& groups) {
    const std::string ownerName =
        groups.UserName(access.owner).value_or(std::to_string(access.owner));
    const auto groupEntry = groups.GroupById(access.group);
    const std::string groupName = groupEntry ? groupEntry->name : std::to_string(access.group);
    const std::string facts =
        path + " (" + ModeText(access.mode) + " " + ownerName + ":" + groupName + ")";
    const bool hasGroupNow = user.primaryGid == access.group ||
                             std::find(user.processGroups.begin(), user.processGroups.end(),
                                       access.group) != user.processGroups.end();

    if (user.uid == 0) {
        return {kTitle, CheckOutcome::Pass, "You run as root, who may open " + facts + ".", {}};
    }
    if (user.uid == access.owner && ReadWrite(access.mode, S_IRUSR, S_IWUSR)) {
        return {kTitle, CheckOutcome::Pass, "You own " + facts + " and may read and write it.", {}};
    }
    if (hasGroupNow && ReadWrite(access.mode, S_IRGRP, S_IWGRP)) {
        return {kTitle,
                CheckOutcome::Pass,
                "You are in group " + groupName + ", which may read and write " + facts + ".",
                {}};
    }
    if (ReadWrite(access.mode, S_IROTH, S_IWOTH)) {
        return {kTitle, CheckOutcome::Pass, "Everyone may read and write " + facts + ".", {}};
    }
    if (!ReadWrite(access.mode, S_IRGRP, S_IWGRP)) {
        return {kTitle, CheckOutcome::Fail,
                "Neither you nor group " + groupName + " may read and write " + facts + ".",
                "Give the group access with: sudo chmod g+rw " + path +
                    " (a udev rule with MODE=\"0660\" makes it last)"};
    }
    if (groups.ListsUserInGroup(user.name, access.group)) {
        return {kTitle, CheckOutcome::Fail,
                "User " + user.name + " was added to group " + groupName + " (which owns " + facts +
                    "), but this session started before that.",
                "Log out and back in (or run: newgrp " + groupName +
                    ") so the group takes "
                    "effect."};
    }
    return {kTitle, CheckOutcome::Fail,
            "User " + user.name + " is not in group " + groupName + ", which owns " + facts + ".",
            "sudo usermod -aG " + groupName + " $USER, then log out and back in."};
}
