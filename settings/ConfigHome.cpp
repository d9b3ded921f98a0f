#include "settings/ConfigHome.h"

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
    // Qt 6.4's QStandardPaths takes a relative XDG_CONFIG_HOME as it is, which would put
    // the settings under the working folder while the port links go to ~/.config.
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && config[0] == '/') {
        return config;
    }
    return HomeFolder() + "/.config";
}
