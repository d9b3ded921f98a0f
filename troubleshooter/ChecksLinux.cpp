// The checks of a Linux system: the COM number's device, who may use it and who holds it,
// the services that grab ports, the open. Windows has its own list (ChecksWin32.cpp).
#include "serial/KernelConsole.h"
#include "troubleshooter/CheckTitles.h"
#include "troubleshooter/Checks.h"
#include "troubleshooter/GroupDatabase.h"
#include "troubleshooter/NssGroupLookup.h"
#include "troubleshooter/Troubleshooter.h"

namespace {

// The real system's groups through NSS; a fake tree's from its own files.
CheckResult CheckAccessWithGroups(const std::string& path, const DeviceAccess& access,
                                  const UserIdentity& user, const SystemRoots& roots) {
    if (roots.groupFile.empty()) return CheckAccess(path, access, user, NssGroupLookup());
    return CheckAccess(path, access, user, GroupDatabase::Load(roots.groupFile, roots.passwdFile));
}

}  // namespace

CheckResults RunChecks(const TroubleshootRequest& request, const SystemRoots& roots,
                       const UserIdentity& user) {
    CheckResults results;
    std::optional<ResolvedDevice> device;
    results.push_back(CheckDevice(request.comNumber, roots, &device));
    const bool isConsole = device && IsKernelConsole(device->path, roots.Consoles());
    if (!device) {
        const std::string why =
            CheckText(QT_TRANSLATE_NOOP("Troubleshooter", "There is no device to check."));
        results.push_back(NotApplicable(kAccessTitle, why));
        results.push_back(NotApplicable(kHoldersTitle, why));
    } else {
        if (const auto access = ReadDeviceAccess(device->path)) {
            results.push_back(CheckAccessWithGroups(device->path, *access, user, roots));
        } else {
            results.push_back(NotApplicable(
                kAccessTitle, CheckText(QT_TRANSLATE_NOOP("Troubleshooter",
                                                          "The device could not be examined."))));
        }
        if (isConsole) {
            results.push_back(ConsoleRefusal(kHoldersTitle, device->path));
        } else {
            results.push_back(CheckHolders(device->path, roots));
        }
    }
    results.push_back(CheckServices(roots, device && !isConsole ? device->path : std::string()));
    if (!device) {
        results.push_back(NotApplicable(
            kOpenTitle,
            CheckText(QT_TRANSLATE_NOOP("Troubleshooter", "There is no device to open."))));
    } else if (isConsole) {
        results.push_back(ConsoleRefusal(kOpenTitle, device->path));
    } else {
        results.push_back(CheckOpen(device->path));
    }
    if (request.pollHart) {
        CSerial serial;
        results.push_back(HartPollAfter(results.back(), request, serial));
    }
    return results;
}
