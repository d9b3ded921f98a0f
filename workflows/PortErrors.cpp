#include "workflows/PortErrors.h"

#include "strings/Strings.h"

QString OpenErrorText(const CHartLink& link, unsigned openResult, const QString& errorOpening) {
    if (openResult != kLinkPortError) return errorOpening;
    switch (link.OpenFailure()) {
        case kSerialKernelConsole:
            return errorOpening + u'\n' + LoadString(IDS_PORT_IS_CONSOLE);
        case kSerialLineRefused:
            return errorOpening + u'\n' + LoadString(IDS_PORT_LINE_REFUSED);
        default:
            return errorOpening;
    }
}

QString PortStoppedText() { return LoadString(IDS_PORT_STOPPED); }
