#include "troubleshooter/NssGroupLookup.h"

#include <grp.h>
#include <pwd.h>

#include <algorithm>
#include <cerrno>
#include <vector>

#include "serial/OpenFailureReason.h"

namespace {

// The *_r lookups want a buffer for the entry's strings; a group with many members may
// need more than the first guess.
template <typename Entry, typename Key, typename Lookup>
bool LookUp(Key key, Lookup lookup, Entry& entry, std::vector<char>& buffer) {
    buffer.resize(1024);
    for (;;) {
        Entry* found = nullptr;
        const int error = lookup(key, &entry, buffer.data(), buffer.size(), &found);
        if (error == ERANGE && buffer.size() < (1u << 20)) {
            buffer.resize(buffer.size() * 4);
            continue;
        }
        return error == 0 && found != nullptr;
    }
}

}  // namespace

std::optional<std::string> NssGroupLookup::GroupName(gid_t gid) const {
    return SystemGroupName(gid);
}

std::optional<std::string> NssGroupLookup::UserName(uid_t uid) const {
    passwd entry{};
    std::vector<char> buffer;
    if (!LookUp(uid, getpwuid_r, entry, buffer) || !entry.pw_name) return std::nullopt;
    return std::string(entry.pw_name);
}

bool NssGroupLookup::ListsUserInGroup(const std::string& user, gid_t gid) const {
    passwd entry{};
    std::vector<char> buffer;
    if (!LookUp(user.c_str(), getpwnam_r, entry, buffer)) return false;
    if (entry.pw_gid == gid) return true;
    // What a new login would get (initgroups asks the same NSS sources).
    std::vector<gid_t> groups(64);
    for (int attempt = 0; attempt < 8; ++attempt) {
        int count = static_cast<int>(groups.size());
        if (getgrouplist(user.c_str(), entry.pw_gid, groups.data(), &count) >= 0) {
            groups.resize(static_cast<size_t>(count));
            return std::find(groups.begin(), groups.end(), gid) != groups.end();
        }
        // Too small: count now says how many there are.
        groups.resize(std::max(static_cast<size_t>(count), groups.size() * 2));
    }
    return false;
}
