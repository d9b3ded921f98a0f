#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "tests/serial/PtyPair.h"
#include "troubleshooter/SystemRoots.h"

// A temporary folder with its own /dev, /sys, /proc, unit folders and group files, removed
// when the test ends.
class FakeSystem {
public:
    FakeSystem() {
        char pattern[] = "/tmp/tralvo-fake-system-XXXXXX";
        m_root = mkdtemp(pattern);
        for (const char* folder :
             {"dev", "sys/class/tty/console", "proc", "units", "etc", "udev"}) {
            std::filesystem::create_directories(m_root + "/" + folder);
        }
        roots.dev = m_root + "/dev";
        roots.sys = m_root + "/sys";
        roots.proc = m_root + "/proc";
        roots.groupFile = m_root + "/etc/group";
        roots.passwdFile = m_root + "/etc/passwd";
        roots.unitFolders = {m_root + "/units"};
        roots.udevData = m_root + "/udev";
    }
    ~FakeSystem() { std::filesystem::remove_all(m_root); }

    std::string AddDevice(const std::string& name) {
        const std::string path = roots.dev + "/" + name;
        std::ofstream(path).put('\0');
        return path;
    }
    // A terminal in the fake /dev: a link to the slave of a real pty that lives as long as
    // the fake system, so that the device check finds a tty there.
    std::string AddTty(const std::string& name) {
        m_ptys.push_back(std::make_unique<PtyPair>());
        const std::string path = roots.dev + "/" + name;
        std::filesystem::create_symlink(m_ptys.back()->slavePath(), path);
        return path;
    }
    // The pty number of a terminal AddTty made, as the kernel gives it in a master's fdinfo.
    std::string PtyIndexOf(const std::string& tty) const {
        const std::string target = std::filesystem::read_symlink(tty).string();
        return target.substr(target.find_last_of('/') + 1);
    }
    void AddProcess(const std::string& pid, const std::string& name,
                    const std::string& openFile = {}) {
        const std::string folder = roots.proc + "/" + pid;
        std::filesystem::create_directories(folder + "/fd");
        std::filesystem::create_directories(folder + "/fdinfo");
        std::ofstream(folder + "/comm") << name << '\n';
        if (!openFile.empty()) std::filesystem::create_symlink(openFile, folder + "/fd/3");
    }
    // One more descriptor of a process AddProcess made, with what its fdinfo says.
    void AddDescriptor(const std::string& pid, const std::string& fd, const std::string& target,
                       const std::string& fdinfo = {}) {
        const std::string folder = roots.proc + "/" + pid;
        std::filesystem::create_symlink(target, folder + "/fd/" + fd);
        std::ofstream(folder + "/fdinfo/" + fd) << fdinfo;
    }
    void Write(const std::string& relative, const std::string& text) {
        std::ofstream(m_root + "/" + relative) << text;
    }

    SystemRoots roots;

private:
    std::string m_root;
    std::vector<std::unique_ptr<PtyPair>> m_ptys;
};
