#include "troubleshooter/SystemRoots.h"

#include <pwd.h>
#include <unistd.h>

#include <type_traits>

#include "serial/ComPortMap.h"

static_assert(std::is_same_v<UserId, uid_t> && std::is_same_v<GroupId, gid_t>,
              "getgroups and the access check take the ids as they are");

std::string SystemRoots::DevicePath(const std::string& systemPath) const {
    return PathUnderDevRoot(dev, systemPath);
}

ConsoleRoots SystemRoots::Consoles() const { return {sys, proc}; }

UserIdentity CurrentUser() {
    UserIdentity user;
    user.uid = geteuid();
    user.primaryGid = getegid();
    if (const passwd* entry = getpwuid(user.uid); entry && entry->pw_name) {
        user.name = entry->pw_name;
    } else {
        user.name = std::to_string(user.uid);
    }
    const int count = getgroups(0, nullptr);
    if (count > 0) {
        user.processGroups.resize(static_cast<size_t>(count));
        const int got = getgroups(count, user.processGroups.data());
        user.processGroups.resize(got > 0 ? static_cast<size_t>(got) : 0);
    }
    return user;
}
