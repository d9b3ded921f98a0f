#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "troubleshooter/SystemRoots.h"

// A temporary folder with its own /dev, /sys, /proc, unit folders and group files, removed
// when the test ends.
class FakeSystem {
public:
    FakeSystem() {
        char pattern[] = "/tmp/tralvo-fake-system-XXXXXX";
        m_root = mkdtemp(pattern);
        for (const char* folder : {"dev", "sys/class/tty/console", "proc", "units", "etc"}) {
            std::filesystem::create_directories(m_root + "/" + folder);
        }
        roots.dev = m_root + "/dev";
        roots.sys = m_root + "/sys";
        roots.proc = m_root + "/proc";
        roots.groupFile = m_root + "/etc/group";
        roots.passwdFile = m_root + "/etc/passwd";
        roots.unitFolders = {m_root + "/units"};
    }
    ~FakeSystem() { std::filesystem::remove_all(m_root); }

    std::string AddDevice(const std::string& name) {
        const std::string path = roots.dev + "/" + name;
        std::ofstream(path).put('\0');
        return path;
    }
    void AddProcess(const std::string& pid, const std::string& name,
                    const std::string& openFile = {}) {
        const std::string folder = roots.proc + "/" + pid;
        std::filesystem::create_directories(folder + "/fd");
        std::ofstream(folder + "/comm") << name << '\n';
        if (!openFile.empty()) std::filesystem::create_symlink(openFile, folder + "/fd/3");
    }
    void Write(const std::string& relative, const std::string& text) {
        std::ofstream(m_root + "/" + relative) << text;
    }

    SystemRoots roots;

private:
    std::string m_root;
};
