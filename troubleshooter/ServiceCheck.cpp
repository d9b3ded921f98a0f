#include <dirent.h>
#include <sys/stat.h>

#include <cstring>
#include <fstream>
#include <vector>

#include "troubleshooter/Checks.h"

namespace {

constexpr const char* kTitle = "Services that grab serial ports";

struct PortGrabber {
    const char* processName;
    std::vector<const char*> units;
    const char* remedy;
};

const std::vector<PortGrabber>& KnownGrabbers() {
    static const std::vector<PortGrabber> grabbers = {
        {"ModemManager",
         {"ModemManager.service"},
         "sudo systemctl stop ModemManager (and: sudo systemctl disable ModemManager, or a udev "
         "rule with ENV{ID_MM_DEVICE_IGNORE}=\"1\" for the modem)"},
        {"brltty",
         {"brltty.service", "brltty-udev.service"},
         "sudo systemctl stop brltty-udev.service brltty.service (or, without a braille "
         "display: sudo apt remove brltty)"},
    };
    return grabbers;
}

bool IsInstalled(const PortGrabber& grabber, const SystemRoots& roots) {
    for (const auto& folder : roots.unitFolders) {
        for (const char* unit : grabber.units) {
            struct stat info {};
            if (stat((folder + "/" + unit).c_str(), &info) == 0) return true;
        }
    }
    return false;
}

std::vector<std::string> RunningProcessNames(const std::string& procRoot) {
    std::vector<std::string> names;
    if (DIR* dir = opendir(procRoot.c_str())) {
        while (const dirent* entry = readdir(dir)) {
            if (std::strspn(entry->d_name, "0123456789") != std::strlen(entry->d_name)) continue;
            std::ifstream comm(procRoot + "/" + entry->d_name + "/comm");
            std::string name;
            if (std::getline(comm, name)) names.push_back(name);
        }
        closedir(dir);
    }
    return names;
}

}  // namespace

CheckResult CheckServices(const SystemRoots& roots) {
    const auto running = RunningProcessNames(roots.proc);
    std::string runningNames;
    std::string installedNames;
    std::string remedies;
    for (const auto& grabber : KnownGrabbers()) {
        bool isRunning = false;
        for (const auto& name : running) isRunning = isRunning || name == grabber.processName;
        if (isRunning) {
            runningNames +=
                (runningNames.empty() ? "" : " and ") + std::string(grabber.processName);
            remedies += (remedies.empty() ? "" : "; ") + std::string(grabber.remedy);
        } else if (IsInstalled(grabber, roots)) {
            installedNames +=
                (installedNames.empty() ? "" : " and ") + std::string(grabber.processName);
        }
    }
    if (!runningNames.empty()) {
        return {kTitle, CheckOutcome::Fail,
                runningNames + " is running and may open or probe serial ports.", remedies};
    }
    if (!installedNames.empty()) {
        return {kTitle,
                CheckOutcome::Pass,
                installedNames + " is installed but not running, so it holds no port now.",
                {}};
    }
    return {kTitle, CheckOutcome::Pass, "Neither ModemManager nor brltty is running.", {}};
}
