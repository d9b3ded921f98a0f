#include "troubleshooter/Troubleshooter.h"

#include "serial/KernelConsole.h"
#include "troubleshooter/Checks.h"
#include "troubleshooter/GroupDatabase.h"

CheckResults RunChecks(const TroubleshootRequest& request, const SystemRoots& roots,
                       const UserIdentity& user) {
    CheckResults results;
    std::optional<ResolvedDevice> device;
    results.push_back(CheckDevice(request.comNumber, roots, &device));
    const bool isConsole = device && IsKernelConsole(device->path, roots.Consoles());
    if (!device) {
        const std::string why = "There is no device to check.";
        results.push_back(NotApplicable("Access", why));
        results.push_back(NotApplicable("Other users of the port", why));
    } else {
        const auto access = ReadDeviceAccess(device->path);
        if (access) {
            const auto groups = GroupDatabase::Load(roots.groupFile, roots.passwdFile);
            results.push_back(CheckAccess(device->path, *access, user, groups));
        } else {
            results.push_back(NotApplicable("Access", "The device could not be examined."));
        }
        if (isConsole) {
            results.push_back(ConsoleRefusal("Other users of the port", device->path));
        } else {
            results.push_back(CheckHolders(device->path, roots));
        }
    }
    results.push_back(CheckServices(roots));
    if (!device) {
        results.push_back(NotApplicable("Open at 1200 baud 8O1", "There is no device to open."));
    } else if (isConsole) {
        results.push_back(ConsoleRefusal("Open at 1200 baud 8O1", device->path));
    } else {
        results.push_back(CheckOpen(device->path));
    }
    if (request.pollHart) {
        if (results.back().outcome == CheckOutcome::Pass) {
            results.push_back(CheckHartPoll(request.comNumber, request.pollAttempts));
        } else {
            results.push_back(NotApplicable("HART identity poll at address 0",
                                            "The port does not open, so nothing can be polled."));
        }
    }
    return results;
}
