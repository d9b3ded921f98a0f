#include "serial/PortHolders.h"

#include <dirent.h>
#include <unistd.h>

#include <cstring>
#include <fstream>

namespace {

bool IsNumber(const char* text) {
    return *text && std::strspn(text, "0123456789") == std::strlen(text);
}

// The numbered entries of a folder: processes in /proc, descriptors in /proc/PID/fd.
std::vector<std::string> NumberedEntries(const std::string& folder) {
    std::vector<std::string> names;
    if (DIR* dir = opendir(folder.c_str())) {
        while (const dirent* entry = readdir(dir)) {
            if (IsNumber(entry->d_name)) names.emplace_back(entry->d_name);
        }
        closedir(dir);
    }
    return names;
}

std::string ProcessName(const std::string& processFolder) {
    std::ifstream comm(processFolder + "/comm");
    std::string name;
    std::getline(comm, name);
    return name.empty() ? "?" : name;
}

bool HasDescriptorOn(const std::string& fdFolder, const std::string& device) {
    for (const auto& fd : NumberedEntries(fdFolder)) {
        char target[4096];
        const std::string link = fdFolder + "/" + fd;
        const ssize_t length = readlink(link.c_str(), target, sizeof target - 1);
        if (length > 0 && std::string(target, static_cast<size_t>(length)) == device) return true;
    }
    return false;
}

}  // namespace

PortHolders FindPortHolders(const std::string& device, const std::string& procRoot) {
    PortHolders found;
    const std::string self = std::to_string(getpid());
    for (const auto& pid : NumberedEntries(procRoot)) {
        if (pid == self) continue;
        const std::string folder = procRoot + "/" + pid;
        const std::string fdFolder = folder + "/fd";
        if (access(fdFolder.c_str(), R_OK | X_OK) != 0) {
            ++found.unreadable;
            continue;
        }
        if (HasDescriptorOn(fdFolder, device)) found.holders.push_back({pid, ProcessName(folder)});
    }
    return found;
}
