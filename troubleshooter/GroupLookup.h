#pragma once

#include <sys/types.h>

#include <optional>
#include <string>

// The names of users and groups, and who the databases put in a group: what the access
// check needs to say which group to join.
class GroupLookup {
public:
    virtual ~GroupLookup() = default;

    virtual std::optional<std::string> GroupName(gid_t gid) const = 0;
    virtual std::optional<std::string> UserName(uid_t uid) const = 0;
    // Listed as a member, or the group is the user's primary group: true as soon as an
    // administrator added the user, even when the running session does not have it yet.
    virtual bool ListsUserInGroup(const std::string& user, gid_t gid) const = 0;
};
