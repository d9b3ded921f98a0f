#include "workflows/PortErrors.h"

#include "hart/LinkResult.h"
#include "serial/ComNumberText.h"
#include "strings/Strings.h"

QString OpenErrorText(const CHartLink& link, unsigned openResult, uint8_t comPort,
                      const QString& errorOpening) {
    // The other results (port 0, already open, a bad speed) are this program's own doing.
    if (openResult != kLinkPortError) return errorOpening;
    OpenFailureReason reason = DescribeOpenFailure(comPort, link.OpenFailure());
    // The user chose a COM number; the device it leads to comes second.
    const std::string port = PortTextFromNumber(comPort);
    if (reason.device != port) reason.device = port + " (" + reason.device + ")";
    return errorOpening + u'\n' + OpenFailureText(reason);
}

QString OpenFailureText(const OpenFailureReason& reason) {
    using Kind = OpenFailureReason::Kind;
    const QString device = QString::fromStdString(reason.device);
    switch (reason.kind) {
        case Kind::NoDevice:
            return LoadString(IDS_OPEN_NO_DEVICE).arg(device);
        case Kind::PermissionDenied:
            return LoadString(IDS_OPEN_PERMISSION)
                .arg(device, QString::fromStdString(reason.group));
        case Kind::Held:
            return LoadString(IDS_OPEN_HELD)
                .arg(device, QString::fromStdString(reason.holderName),
                     QString::fromStdString(reason.holderPid));
        case Kind::HeldByUnknown:
            return LoadString(IDS_OPEN_HELD_UNKNOWN).arg(device);
        case Kind::NotSerial:
            return LoadString(IDS_OPEN_NOT_SERIAL).arg(device);
        case Kind::SystemConsole:
            return device + u'\n' + LoadString(IDS_PORT_IS_CONSOLE);
        case Kind::LineRefused:
            return device + u'\n' + LoadString(IDS_PORT_LINE_REFUSED);
        case Kind::Other:
            break;
    }
    return device + QStringLiteral(": ") + QString::fromStdString(reason.systemText);
}

QString PortStoppedText() { return LoadString(IDS_PORT_STOPPED); }
