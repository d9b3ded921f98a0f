#include <sys/stat.h>

#include <algorithm>

#include "troubleshooter/CheckTitles.h"
#include "troubleshooter/Checks.h"

namespace {

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
                        const UserIdentity& user, const GroupLookup& groups) {
    const std::string title = CheckText(kAccessTitle);
    const std::string ownerName =
        groups.UserName(access.owner).value_or(std::to_string(access.owner));
    const std::string groupName =
        groups.GroupName(access.group).value_or(std::to_string(access.group));
    const std::string facts =
        path + " (" + ModeText(access.mode) + " " + ownerName + ":" + groupName + ")";
    const bool hasGroupNow = user.primaryGid == access.group ||
                             std::find(user.processGroups.begin(), user.processGroups.end(),
                                       access.group) != user.processGroups.end();

    if (user.uid == 0) {
        return {title,
                CheckOutcome::Pass,
                CheckText(QT_TRANSLATE_NOOP("Troubleshooter", "You run as root, who may open %1."),
                          {facts}),
                {}};
    }
    if (user.uid == access.owner && ReadWrite(access.mode, S_IRUSR, S_IWUSR)) {
        return {
            title,
            CheckOutcome::Pass,
            CheckText(QT_TRANSLATE_NOOP("Troubleshooter", "You own %1 and may read and write it."),
                      {facts}),
            {}};
    }
    if (hasGroupNow && ReadWrite(access.mode, S_IRGRP, S_IWGRP)) {
        return {title,
                CheckOutcome::Pass,
                CheckText(QT_TRANSLATE_NOOP("Troubleshooter",
                                            "You are in group %1, which may read and write %2."),
                          {groupName, facts}),
                {}};
    }
    if (ReadWrite(access.mode, S_IROTH, S_IWOTH)) {
        return {title,
                CheckOutcome::Pass,
                CheckText(QT_TRANSLATE_NOOP("Troubleshooter", "Everyone may read and write %1."),
                          {facts}),
                {}};
    }
    if (!ReadWrite(access.mode, S_IRGRP, S_IWGRP)) {
        return {title, CheckOutcome::Fail,
                CheckText(QT_TRANSLATE_NOOP("Troubleshooter",
                                            "Neither you nor group %1 may read and write %2."),
                          {groupName, facts}),
                CheckText(QT_TRANSLATE_NOOP("Troubleshooter",
                                            "Give the group access with: sudo chmod g+rw %1 (a "
                                            "udev rule with MODE=\"0660\" makes it last)"),
                          {path})};
    }
    if (groups.ListsUserInGroup(user.name, access.group)) {
        return {title, CheckOutcome::Fail,
                CheckText(QT_TRANSLATE_NOOP("Troubleshooter",
                                            "User %1 was added to group %2 (which owns %3), but "
                                            "this session started before that."),
                          {user.name, groupName, facts}),
                CheckText(QT_TRANSLATE_NOOP("Troubleshooter",
                                            "Log out and back in (or run: newgrp %1) so the group "
                                            "takes effect."),
                          {groupName})};
    }
    return {
        title, CheckOutcome::Fail,
        CheckText(QT_TRANSLATE_NOOP("Troubleshooter", "User %1 is not in group %2, which owns %3."),
                  {user.name, groupName, facts}),
        CheckText(QT_TRANSLATE_NOOP("Troubleshooter",
                                    "sudo usermod -aG %1 $USER, then log out and back in."),
                  {groupName})};
}
