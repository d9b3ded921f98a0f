#pragma once

#include <stdlib.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "serial/KernelConsole.h"

// A temporary /sys and /proc that name the kernel's consoles, removed when the test ends.
// Without any file written, no console is known.
class FakeConsoles {
public:
    FakeConsoles() {
        char pattern[] = "/tmp/tralvo-consoles-XXXXXX";
        m_root = mkdtemp(pattern) ? pattern : "/nonexistent";
        roots.sys = m_root + "/sys";
        roots.proc = m_root + "/proc";
    }
    ~FakeConsoles() {
        std::error_code ignored;
        std::filesystem::remove_all(m_root, ignored);
    }
    FakeConsoles(const FakeConsoles&) = delete;
    FakeConsoles& operator=(const FakeConsoles&) = delete;

    // "tty0 ttyS0": <sys>/class/tty/console/active.
    void SetActive(const std::string& names) { Write("sys/class/tty/console/active", names); }
    // The device number sysfs gives a tty ("4:64").
    void SetSysfsNumber(const std::string& tty, const std::string& number) {
        Write("sys/class/tty/" + tty + "/dev", number + "\n");
    }
    // The whole of <proc>/consoles.
    void SetProcConsoles(const std::string& text) { Write("proc/consoles", text); }

    // A device's number as sysfs and /proc/consoles write it.
    static std::string NumberOf(const std::string& devicePath) {
        struct stat info {};
        if (stat(devicePath.c_str(), &info) != 0) return "0:0";
        return std::to_string(major(info.st_rdev)) + ":" + std::to_string(minor(info.st_rdev));
    }

    // A scratch folder inside the tree for links and files.
    std::string Scratch(const std::string& name) const { return m_root + "/" + name; }

    void Write(const std::string& relative, const std::string& text) const {
        const std::filesystem::path path = m_root + "/" + relative;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path) << text;
    }

    ConsoleRoots roots;

private:
    std::string m_root;
};
