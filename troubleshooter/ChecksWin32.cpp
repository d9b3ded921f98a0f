// The checks of a Windows system: the port is listed, its driver, it opens for Tralvo
// alone. Users need no group for a COM port and the system never shares one, so the roots
// and the user of the Linux list mean nothing here.
#include <windows.h>

#include "hart/HartFrame.h"
#include "portselect/SetupApiPortSource.h"
#include "serial/ComNumberText.h"
#include "troubleshooter/ListedPortChecks.h"
#include "troubleshooter/SharedChecks.h"
#include "troubleshooter/Troubleshooter.h"

namespace {

std::string DosTarget(unsigned comNumber) {
    const std::string port = PortTextFromNumber(comNumber);
    const std::wstring name(port.begin(), port.end());
    // Room for several names: a port may have been remapped more than once.
    wchar_t target[4096];
    const DWORD length = QueryDosDeviceW(name.c_str(), target, sizeof target / sizeof *target);
    if (length == 0 || target[0] == L'\0') return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, target, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1) return {};
    std::string text(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, target, -1, text.data(), size, nullptr, nullptr);
    text.resize(static_cast<size_t>(size) - 1);
    return text;
}

// The program's own serial class, as the HART link would open the port; closed again at
// once, so that the poll (or the user's program) can have it.
OpenAttempt TryOpen(unsigned comNumber) {
    OpenAttempt attempt;
    CSerial serial;
    attempt.open = serial.Open(ComDeviceName(comNumber).c_str(), 1024, 1024);
    if (attempt.open != kSerialSuccess) return attempt;
    attempt.line = serial.SetHartLine(hart::kLineBaud);
    if (attempt.line == kSerialSuccess) {
        attempt.rts = serial.SetRts(false);
        if (attempt.rts == kSerialSuccess) attempt.rts = serial.SetRts(true);
    }
    serial.Close();
    return attempt;
}

}  // namespace

CheckResults RunChecks(const TroubleshootRequest& request, const SystemRoots&,
                       const UserIdentity&) {
    const SetupApiPortSource source;
    CheckResults results =
        RunListedPortChecks(request, source, {DosTarget, TryOpen, PlatformErrorText});
    if (request.pollHart) {
        CSerial serial;
        results.push_back(HartPollAfter(results.back(), request, serial));
    }
    return results;
}

// Nothing of this list depends on who runs it.
UserIdentity CurrentUser() { return {}; }
