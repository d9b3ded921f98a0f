#include <dirent.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <vector>

#include "serial/PortHolders.h"
#include "troubleshooter/CheckTitles.h"
#include "troubleshooter/Checks.h"

namespace {

struct PortGrabber {
    const char* processName;
    std::vector<const char*> units;
    const char* remedy;  // marked for translation
};

const std::vector<PortGrabber>& KnownGrabbers() {
    static const std::vector<PortGrabber> grabbers = {
        {"ModemManager",
         {"ModemManager.service"},
         QT_TRANSLATE_NOOP("Troubleshooter",
                           "sudo systemctl stop ModemManager (and: sudo systemctl disable "
                           "ModemManager, or a udev rule with ENV{ID_MM_DEVICE_IGNORE}=\"1\" for "
                           "the modem)")},
        {"brltty",
         {"brltty.service", "brltty-udev.service"},
         QT_TRANSLATE_NOOP("Troubleshooter",
                           "sudo systemctl stop brltty-udev.service brltty.service (or, without a "
                           "braille display: sudo apt remove brltty)")},
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

struct RunningProcess {
    std::string pid;
    std::string name;
};

std::vector<RunningProcess> RunningProcesses(const std::string& procRoot) {
    std::vector<RunningProcess> processes;
    if (DIR* dir = opendir(procRoot.c_str())) {
        while (const dirent* entry = readdir(dir)) {
            if (std::strspn(entry->d_name, "0123456789") != std::strlen(entry->d_name)) continue;
            std::ifstream comm(procRoot + "/" + entry->d_name + "/comm");
            std::string name;
            if (std::getline(comm, name)) processes.push_back({entry->d_name, name});
        }
        closedir(dir);
    }
    return processes;
}

// A udev rule may tell ModemManager to leave the device alone; udev keeps the device's
// properties in its database under c<major>:<minor>.
bool UdevTellsModemManagerToIgnore(const std::string& device, const SystemRoots& roots) {
    struct stat info {};
    if (stat(device.c_str(), &info) != 0 || !S_ISCHR(info.st_mode)) return false;
    std::ifstream data(roots.udevData + "/c" + std::to_string(major(info.st_rdev)) + ":" +
                       std::to_string(minor(info.st_rdev)));
    for (std::string line; std::getline(data, line);) {
        if (line == "E:ID_MM_DEVICE_IGNORE=1") return true;
    }
    return false;
}

// What is known of a running grabber and the device: whether it has it open, or whether
// that cannot be seen (a service of root's, looked at by a normal user).
enum class GrabberUse { HasDeviceOpen, NotOpen, CannotSee, NoDevice };

GrabberUse UseOf(const PortGrabber& grabber, const std::vector<RunningProcess>& running,
                 const std::string& device, const PortHolders& users, const SystemRoots& roots) {
    if (device.empty()) return GrabberUse::NoDevice;
    for (const auto& user : users.holders) {
        if (user.name == grabber.processName) return GrabberUse::HasDeviceOpen;
    }
    for (const auto& process : running) {
        if (process.name != grabber.processName) continue;
        if (access((roots.proc + "/" + process.pid + "/fd").c_str(), R_OK | X_OK) != 0) {
            return GrabberUse::CannotSee;
        }
    }
    return GrabberUse::NotOpen;
}

std::string RunningSentence(const PortGrabber& grabber, GrabberUse use, const std::string& device,
                            const SystemRoots& roots) {
    const std::string name = grabber.processName;
    std::string sentence;
    switch (use) {
        case GrabberUse::NotOpen:
            sentence = CheckText(
                QT_TRANSLATE_NOOP("Troubleshooter", "%1 is running but does not have %2 open now."),
                {name, device});
            break;
        case GrabberUse::CannotSee:
            sentence = CheckText(QT_TRANSLATE_NOOP("Troubleshooter",
                                                   "%1 is running; whether it has %2 open cannot "
                                                   "be seen without root."),
                                 {name, device});
            break;
        default:
            sentence = CheckText(QT_TRANSLATE_NOOP("Troubleshooter",
                                                   "%1 is running and may open or probe serial "
                                                   "ports."),
                                 {name});
            break;
    }
    if (name == "ModemManager" && !device.empty()) {
        sentence +=
            " " +
            (UdevTellsModemManagerToIgnore(device, roots)
                 ? CheckText(QT_TRANSLATE_NOOP("Troubleshooter",
                                               "udev tells it to leave this device alone "
                                               "(ID_MM_DEVICE_IGNORE)."))
                 : CheckText(QT_TRANSLATE_NOOP("Troubleshooter",
                                               "It may probe the port when the modem is plugged "
                                               "in; a udev rule with "
                                               "ENV{ID_MM_DEVICE_IGNORE}=\"1\" keeps it away.")));
    }
    return sentence;
}

void Append(std::string& list, const std::string& item, const std::string& separator) {
    list += (list.empty() ? "" : separator) + item;
}

}  // namespace

CheckResult CheckServices(const SystemRoots& roots, const std::string& device) {
    const std::string title = CheckText(kServicesTitle);
    const auto running = RunningProcesses(roots.proc);
    const PortHolders users = device.empty() ? PortHolders{} : FindPortHolders(device, roots.proc);
    std::string holdingNames;
    std::string remedies;
    std::string runningFacts;
    std::string installedNames;
    const std::string also = CheckText(QT_TRANSLATE_NOOP("Troubleshooter", " and "));
    for (const auto& grabber : KnownGrabbers()) {
        const bool isRunning = std::any_of(running.begin(), running.end(), [&](const auto& p) {
            return p.name == grabber.processName;
        });
        if (!isRunning) {
            if (IsInstalled(grabber, roots)) Append(installedNames, grabber.processName, also);
            continue;
        }
        const GrabberUse use = UseOf(grabber, running, device, users, roots);
        if (use == GrabberUse::HasDeviceOpen) {
            Append(holdingNames, grabber.processName, also);
            Append(remedies, CheckText(grabber.remedy), "; ");
        } else {
            Append(runningFacts, RunningSentence(grabber, use, device, roots), " ");
        }
    }
    // Only a service that has this very port open spoils the line; one that merely runs is
    // what most desktops have.
    if (!holdingNames.empty()) {
        return {title, CheckOutcome::Fail,
                CheckText(QT_TRANSLATE_NOOP("Troubleshooter",
                                            "%1 has %2 open now and takes what the modem "
                                            "sends."),
                          {holdingNames, device}),
                remedies};
    }
    if (!runningFacts.empty()) return {title, CheckOutcome::Info, runningFacts, {}};
    if (!installedNames.empty()) {
        return {title,
                CheckOutcome::Pass,
                CheckText(QT_TRANSLATE_NOOP("Troubleshooter",
                                            "%1 is installed but not running, so it holds no "
                                            "port now."),
                          {installedNames}),
                {}};
    }
    return {title,
            CheckOutcome::Pass,
            CheckText(
                QT_TRANSLATE_NOOP("Troubleshooter", "Neither ModemManager nor brltty is running.")),
            {}};
}
