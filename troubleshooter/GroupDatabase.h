#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

#include "troubleshooter/GroupLookup.h"

// The group and user databases read straight from their files (group(5), passwd(5)). Only
// the fake trees of tests use it: the real system's groups may come from LDAP or SSSD,
// which NssGroupLookup asks for.
struct GroupEntry {
    std::string name;
    gid_t gid = 0;
    std::vector<std::string> members;
};

class GroupDatabase : public GroupLookup {
public:
    static GroupDatabase Load(const std::string& groupFile, const std::string& passwdFile);

    std::optional<GroupEntry> GroupById(gid_t gid) const;
    std::optional<std::string> GroupName(gid_t gid) const override;
    std::optional<std::string> UserName(uid_t uid) const override;
    bool ListsUserInGroup(const std::string& user, gid_t gid) const override;

    std::vector<GroupEntry> m_groups;
    struct UserEntry {
        std::string name;
        uid_t uid = 0;
        gid_t gid = 0;
    };
    std::vector<UserEntry> m_users;
};
