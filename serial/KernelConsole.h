#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

// Where the kernel says which consoles are active: <sys>/class/tty/console/active and
// <proc>/consoles. The defaults are this machine's; tests pass fake trees.
struct ConsoleRoots {
    std::string sys = "/sys";
    std::string proc = "/proc";
};

// The kernel's active consoles, read once so that many paths can be checked against them.
// A HART poll sets its port to 1200 8O1 and writes frames into it, which would garble a
// console (on many machines COM1, /dev/ttyS0, is one), so no caller may poll one.
class KernelConsoles {
public:
    // Consoles come from <sys>/class/tty/console/active ("tty0" stands for the foreground
    // virtual terminal, <sys>/class/tty/tty0/active) with their numbers from
    // <sys>/class/tty/<name>/dev, and from <proc>/consoles with the major:minor at the end
    // of each line. /dev/console (5:1) and /dev/tty0 (4:0) are always consoles. Files that
    // cannot be read add nothing.
    static KernelConsoles Read(const ConsoleRoots& roots = {});

    // true when `path`, after following every symbolic link to the final file, is one of
    // these consoles: by device number where both sides have one, else by name.
    bool Contains(const std::string& path) const;

private:
    struct Console {
        std::string name;
        std::optional<dev_t> number;
    };
    void Add(std::string name, std::optional<dev_t> number);

    std::vector<Console> m_consoles;
};

// true when `path`, after following every symbolic link to the final device, is one of
// the active kernel consoles.
bool IsKernelConsole(const std::string& path, const ConsoleRoots& roots = {});
