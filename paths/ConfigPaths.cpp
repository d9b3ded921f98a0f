#include "paths/ConfigPaths.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

namespace {

std::string HomeFolder() {
    if (const char* home = std::getenv("HOME"); home && *home) return home;
    if (const passwd* entry = getpwuid(getuid()); entry && entry->pw_dir) return entry->pw_dir;
    return ".";
}

}  // namespace

std::string ConfigHomeFolder() {
    // Relative values are to be ignored, as the XDG base directory rules say.
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && config[0] == '/') {
        return config;
    }
    return HomeFolder() + "/.config";
}

std::string PortLinksFolder() { return ConfigHomeFolder() + "/Brenlow/Tralvo/ports"; }
