#include <sys/stat.h>
#include <unistd.h>

#include "paths/ConfigPaths.h"
#include "serial/ComNumberText.h"
#include "serial/ComPortMap.h"
#include "serial/KernelConsole.h"
#include "troubleshooter/CheckTitles.h"
#include "troubleshooter/Checks.h"
#include "troubleshooter/TerminalProbe.h"

namespace {

std::string LinkTarget(const std::string& link) {
    char buffer[4096];
    const ssize_t length = readlink(link.c_str(), buffer, sizeof buffer - 1);
    if (length < 0) return {};
    return std::string(buffer, static_cast<size_t>(length));
}

bool Exists(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0;
}

// A console is a terminal, and is not opened to find that out.
bool IsNotSerial(const std::string& path, const SystemRoots& roots) {
    if (IsKernelConsole(path, roots.Consoles())) return false;
    return ExamineTerminal(path, roots.sys) == TerminalKind::NotTerminal;
}

}  // namespace

CheckResult CheckDevice(unsigned comNumber, const SystemRoots& roots,
                        std::optional<ResolvedDevice>* found) {
    const std::string title = CheckText(kDeviceTitle);
    const std::string com = PortTextFromNumber(comNumber);
    const auto mapped = DeviceForComNumber(comNumber);
    if (!mapped) {
        return {title, CheckOutcome::Fail,
                CheckText(QT_TRANSLATE_NOOP("Troubleshooter",
                                            "%1 does not stand for any device on Linux."),
                          {com}),
                CheckText(QT_TRANSLATE_NOOP("Troubleshooter",
                                            "Choose a port the list shows, or link a device to "
                                            "it: ln -s /dev/ttyUSB0 %1"),
                          {PortLinkPath(comNumber)})};
    }
    ResolvedDevice device;
    device.systemPath = *mapped;
    device.isLink = *mapped == PortLinkPath(comNumber);
    if (device.isLink) {
        std::string target = LinkTarget(*mapped);
        if (!target.empty() && target[0] != '/') target = PortLinksFolder() + "/" + target;
        device.path = target.empty() ? *mapped : target;
        if (!Exists(*mapped)) {
            return {title, CheckOutcome::Fail,
                    CheckText(
                        QT_TRANSLATE_NOOP("Troubleshooter",
                                          "%1 is the link %2, which points to %3, and that "
                                          "does not exist."),
                        {com, *mapped,
                         target.empty() ? CheckText(QT_TRANSLATE_NOOP("Troubleshooter", "nothing"))
                                        : target}),
                    CheckText(QT_TRANSLATE_NOOP("Troubleshooter",
                                                "Start the virtual port again (e.g. tralvo-sim "
                                                "--link %1), or remove the stale link: rm %2"),
                              {com, *mapped})};
        }
        if (IsNotSerial(device.path, roots)) {
            return {title, CheckOutcome::Fail,
                    CheckText(QT_TRANSLATE_NOOP("Troubleshooter",
                                                "%1 is the link %2 to %3, which is not a serial "
                                                "port."),
                              {com, *mapped, device.path}),
                    CheckText(QT_TRANSLATE_NOOP("Troubleshooter",
                                                "Point the link at the modem's port: ln -sfn "
                                                "/dev/ttyUSB0 %1"),
                              {*mapped})};
        }
        if (found) *found = device;
        return {
            title,
            CheckOutcome::Pass,
            CheckText(QT_TRANSLATE_NOOP("Troubleshooter", "%1 is the link %2 to %3, which exists."),
                      {com, *mapped, device.path}),
            {}};
    }
    device.path = roots.DevicePath(*mapped);
    if (!Exists(device.path)) {
        return {title, CheckOutcome::Fail,
                CheckText(QT_TRANSLATE_NOOP("Troubleshooter",
                                            "%1 is %2, which does not exist: the modem may be "
                                            "unplugged or have come up under another number."),
                          {com, *mapped}),
                CheckText(QT_TRANSLATE_NOOP("Troubleshooter",
                                            "Plug the modem in, look for it with: ls -l "
                                            "/dev/ttyUSB* /dev/ttyACM*, and choose the port it "
                                            "shows."))};
    }
    if (IsNotSerial(device.path, roots)) {
        return {
            title, CheckOutcome::Fail,
            CheckText(QT_TRANSLATE_NOOP("Troubleshooter", "%1 is %2, which is not a serial port."),
                      {com, *mapped}),
            CheckText(QT_TRANSLATE_NOOP("Troubleshooter",
                                        "Choose the port of the modem (ls -l /dev/ttyUSB* "
                                        "/dev/ttyACM*)."))};
    }
    if (found) *found = device;
    return {
        title,
        CheckOutcome::Pass,
        CheckText(QT_TRANSLATE_NOOP("Troubleshooter", "%1 is %2, which exists."), {com, *mapped}),
        {}};
}
