#pragma once

#include "troubleshooter/GroupLookup.h"

// The system's user and group databases through NSS (getgrgid_r, getpwuid_r,
// getgrouplist), so that groups from LDAP or SSSD count as well as those in /etc/group.
class NssGroupLookup : public GroupLookup {
public:
    std::optional<std::string> GroupName(gid_t gid) const override;
    std::optional<std::string> UserName(uid_t uid) const override;
    bool ListsUserInGroup(const std::string& user, gid_t gid) const override;
};
