#pragma once

#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <optional>
#include <string>

// A fresh XDG_CONFIG_HOME for one test, removed afterwards; the previous value returns.
class ScopedConfigHome {
public:
    ScopedConfigHome() {
        if (const char* old = getenv("XDG_CONFIG_HOME")) m_old = old;
        char pattern[] = "/tmp/tralvo-serial-XXXXXX";
        m_path = mkdtemp(pattern) ? pattern : "";
        setenv("XDG_CONFIG_HOME", m_path.c_str(), 1);
    }
    ~ScopedConfigHome() {
        if (m_old) {
            setenv("XDG_CONFIG_HOME", m_old->c_str(), 1);
        } else {
            unsetenv("XDG_CONFIG_HOME");
        }
        std::error_code ignored;
        if (!m_path.empty()) std::filesystem::remove_all(m_path, ignored);
    }
    ScopedConfigHome(const ScopedConfigHome&) = delete;
    ScopedConfigHome& operator=(const ScopedConfigHome&) = delete;

    const std::string& path() const { return m_path; }

    // Plugs a device in as COM<n> the way a user does: a link in the ports folder.
    bool Link(const std::string& linkPath, const std::string& target) const {
        std::error_code error;
        std::filesystem::create_directories(std::filesystem::path(linkPath).parent_path(), error);
        return symlink(target.c_str(), linkPath.c_str()) == 0;
    }

private:
    std::string m_path;
    std::optional<std::string> m_old;
};
