#include <sys/stat.h>
#include <unistd.h>

#include "serial/ComPortMap.h"
#include "troubleshooter/Checks.h"

namespace {

constexpr const char* kTitle = "Device";

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

}  // namespace

CheckResult CheckDevice(unsigned comNumber, const SystemRoots& roots,
                        std::optional<ResolvedDevice>* found) {
    const std::string com = "COM" + std::to_string(comNumber);
    const auto mapped = DeviceForComNumber(comNumber);
    if (!mapped) {
        return {kTitle, CheckOutcome::Fail, com + " does not stand for any device on Linux.",
                "Choose a port the list shows, or link a device to it: ln -s /dev/ttyUSB0 " +
                    PortLinkPath(comNumber)};
    }
    ResolvedDevice device;
    device.systemPath = *mapped;
    device.isLink = *mapped == PortLinkPath(comNumber);
    if (device.isLink) {
        std::string target = LinkTarget(*mapped);
        if (!target.empty() && target[0] != '/') target = PortLinksFolder() + "/" + target;
        device.path = target.empty() ? *mapped : target;
        if (!Exists(*mapped)) {
            return {kTitle, CheckOutcome::Fail,
                    com + " is the link " + *mapped + ", which points to " +
                        (target.empty() ? std::string("nothing") : target) +
                        ", and that does not exist.",
                    "Start the virtual port again (e.g. tralvo-sim --link " + com +
                        "), or remove the stale link: rm " + *mapped};
        }
        if (found) *found = device;
        return {kTitle,
                CheckOutcome::Pass,
                com + " is the link " + *mapped + " to " + device.path + ", which exists.",
                {}};
    }
    device.path = roots.DevicePath(*mapped);
    if (!Exists(device.path)) {
        return {kTitle, CheckOutcome::Fail,
                com + " is " + *mapped +
                    ", which does not exist: the modem may be unplugged or have come up "
                    "under another number.",
                "Plug the modem in, look for it with: ls -l /dev/ttyUSB* /dev/ttyACM*, and "
                "choose the port it shows."};
    }
    if (found) *found = device;
    return {kTitle, CheckOutcome::Pass, com + " is " + *mapped + ", which exists.", {}};
}

CheckResult NotApplicable(const std::string& title, const std::string& why) {
    return {title, CheckOutcome::NotApplicable, why, {}};
}
