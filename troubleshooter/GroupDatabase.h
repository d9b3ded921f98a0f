#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

// The group and user databases read from their files (group(5), passwd(5)) so that tests
// can hand in their own.
struct GroupEntry {
    std::string name;
    gid_t gid = 0;
    std::vector<std::string> members;
};

class GroupDatabase {
public:
    static GroupDatabase Load(const std::string& groupFile, const std::string& passwdFile);

    std::optional<GroupEntry> GroupById(gid_t gid) const;
    std::optional<std::string> UserName(uid_t uid) const;
    // Listed as a member, or the group is the user's primary group in passwd.
    bool ListsUserInGroup(const std::string& user, gid_t gid) const;

    std::vector<GroupEntry> m_groups;
    struct UserEntry {
        std::string name;
        uid_t uid = 0;
        gid_t gid = 0;
    };
    std::vector<UserEntry> m_users;
};
