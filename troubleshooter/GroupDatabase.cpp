#include "troubleshooter/GroupDatabase.h"

#include <algorithm>
#include <fstream>
#include <sstream>

namespace {

std::vector<std::string> SplitFields(const std::string& line, char separator) {
    std::vector<std::string> fields;
    std::string field;
    std::istringstream in(line);
    while (std::getline(in, field, separator)) fields.push_back(field);
    if (!line.empty() && line.back() == separator) fields.emplace_back();
    return fields;
}

std::optional<unsigned long> ParseId(const std::string& text) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) {
        return std::nullopt;
    }
    return std::stoul(text);
}

}  // namespace

GroupDatabase GroupDatabase::Load(const std::string& groupFile, const std::string& passwdFile) {
    GroupDatabase db;
    std::ifstream groups(groupFile);
    for (std::string line; std::getline(groups, line);) {
        const auto fields = SplitFields(line, ':');  // name:password:gid:members
        if (fields.size() < 3) continue;
        const auto gid = ParseId(fields[2]);
        if (!gid) continue;
        GroupEntry entry{fields[0], static_cast<gid_t>(*gid), {}};
        if (fields.size() > 3) {
            for (const auto& member : SplitFields(fields[3], ',')) {
                if (!member.empty()) entry.members.push_back(member);
            }
        }
        db.m_groups.push_back(std::move(entry));
    }
    std::ifstream users(passwdFile);
    for (std::string line; std::getline(users, line);) {
        const auto fields = SplitFields(line, ':');  // name:password:uid:gid:...
        if (fields.size() < 4) continue;
        const auto uid = ParseId(fields[2]);
        const auto gid = ParseId(fields[3]);
        if (!uid || !gid) continue;
        db.m_users.push_back({fields[0], static_cast<uid_t>(*uid), static_cast<gid_t>(*gid)});
    }
    return db;
}

std::optional<GroupEntry> GroupDatabase::GroupById(gid_t gid) const {
    for (const auto& group : m_groups) {
        if (group.gid == gid) return group;
    }
    return std::nullopt;
}

std::optional<std::string> GroupDatabase::GroupName(gid_t gid) const {
    const auto group = GroupById(gid);
    if (!group) return std::nullopt;
    return group->name;
}

std::optional<std::string> GroupDatabase::UserName(uid_t uid) const {
    for (const auto& user : m_users) {
        if (user.uid == uid) return user.name;
    }
    return std::nullopt;
}

bool GroupDatabase::ListsUserInGroup(const std::string& user, gid_t gid) const {
    for (const auto& entry : m_users) {
        if (entry.name == user && entry.gid == gid) return true;
    }
    const auto group = GroupById(gid);
    return group &&
           std::find(group->members.begin(), group->members.end(), user) != group->members.end();
}
