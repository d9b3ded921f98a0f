#include "serial/KernelConsole.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string_view>
#include <utility>

namespace {

// The kernel gives up on a chain of links after 40 steps (ELOOP); so do we.
constexpr int kMaxLinkSteps = 40;

std::optional<unsigned> ParseUnsigned(std::string_view text) {
    unsigned value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty()) {
        return std::nullopt;
    }
    return value;
}

// "4:64" as sysfs and /proc/consoles write a device number.
std::optional<dev_t> ParseDeviceNumber(std::string_view text) {
    const size_t colon = text.find(':');
    if (colon == std::string_view::npos) return std::nullopt;
    const auto major = ParseUnsigned(text.substr(0, colon));
    const auto minor = ParseUnsigned(text.substr(colon + 1));
    if (!major || !minor) return std::nullopt;
    return makedev(*major, *minor);
}

// The whitespace-separated words of a file's first line; none when it cannot be read.
std::vector<std::string> FirstLineWords(const std::string& path) {
    std::ifstream file(path);
    std::string line;
    std::getline(file, line);
    std::istringstream words(line);
    std::vector<std::string> result;
    for (std::string word; words >> word;) result.push_back(std::move(word));
    return result;
}

// A tty name read from a file becomes part of a path: only plain names may.
bool IsPlainName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos;
}

std::optional<dev_t> SysfsDeviceNumber(const ConsoleRoots& roots, const std::string& name) {
    const auto words = FirstLineWords(roots.sys + "/class/tty/" + name + "/dev");
    if (words.empty()) return std::nullopt;
    return ParseDeviceNumber(words.front());
}

// Where a chain of links ends, whether or not that file exists.
std::filesystem::path FinalTarget(const std::string& path) {
    std::filesystem::path current(path);
    for (int step = 0; step < kMaxLinkSteps; ++step) {
        std::error_code error;
        const std::filesystem::path target = std::filesystem::read_symlink(current, error);
        if (error) break;  // not a link: the chain ends here
        current = target.is_absolute() ? target : current.parent_path() / target;
    }
    return current;
}

}  // namespace

void KernelConsoles::Add(std::string name, std::optional<dev_t> number) {
    m_consoles.push_back({std::move(name), number});
}

KernelConsoles KernelConsoles::Read(const ConsoleRoots& roots) {
    KernelConsoles consoles;
    consoles.Add("console", makedev(5, 1));
    consoles.Add("tty0", makedev(4, 0));

    for (const std::string& name : FirstLineWords(roots.sys + "/class/tty/console/active")) {
        if (!IsPlainName(name)) continue;
        consoles.Add(name, SysfsDeviceNumber(roots, name));
        if (name != "tty0") continue;
        // tty0 writes to whichever virtual terminal is in front.
        for (const std::string& front : FirstLineWords(roots.sys + "/class/tty/tty0/active")) {
            if (IsPlainName(front)) consoles.Add(front, SysfsDeviceNumber(roots, front));
        }
    }

    // "ttyS0                -W- (EC  p a)    4:64": the name first, the number last; a
    // console without a tty device has no number there.
    std::ifstream proc(roots.proc + "/consoles");
    for (std::string line; std::getline(proc, line);) {
        std::istringstream words(line);
        std::string name, word, last;
        if (!(words >> name)) continue;
        while (words >> word) last = std::move(word);
        consoles.Add(name, ParseDeviceNumber(last));
    }
    return consoles;
}

bool KernelConsoles::Contains(const std::string& path) const {
    std::optional<dev_t> number;
    struct stat info {};
    if (stat(path.c_str(), &info) == 0 && S_ISCHR(info.st_mode)) number = info.st_rdev;
    const std::string name = FinalTarget(path).filename().string();
    return std::any_of(m_consoles.begin(), m_consoles.end(), [&](const Console& console) {
        // A device number is the device itself, whatever its node is called; names serve
        // only where one side has no number (a console the files leave unnumbered).
        if (number && console.number) return *number == *console.number;
        return console.name == name;
    });
}

bool IsKernelConsole(const std::string& path, const ConsoleRoots& roots) {
    return KernelConsoles::Read(roots).Contains(path);
}
