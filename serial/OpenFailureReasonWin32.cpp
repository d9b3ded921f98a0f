// Why a COM port did not open, from the Win32 error alone: Windows names no holder of a port
// to an ordinary user, and no group grants one.
#include <windows.h>

#include "serial/ComNumberText.h"
#include "serial/OpenFailureReason.h"

std::optional<std::string> SystemGroupName(uint32_t) { return std::nullopt; }

OpenFailureReason DescribeOpenFailure(unsigned comNumber, SerialStatus status,
                                      const OpenFailureSystem&) {
    using Kind = OpenFailureReason::Kind;
    OpenFailureReason reason;
    reason.device = PortTextFromNumber(comNumber);
    switch (status) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_DEVICE_NOT_CONNECTED:
            reason.kind = Kind::NoDevice;
            break;
        // The exclusive open is refused while another program has the port.
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
        case ERROR_BUSY:
            reason.kind = Kind::HeldByUnknown;
            break;
        case kSerialLineRefused:
            reason.kind = Kind::LineRefused;
            break;
        default:
            reason.kind = Kind::Other;
            reason.systemText = SerialStatusText(status);
    }
    return reason;
}
