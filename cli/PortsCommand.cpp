#include "cli/PortsCommand.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <string>
#include <vector>

#include "portselect/PortEnumeration.h"
#include "portselect/SerialDevice.h"
#include "portselect/SystemPorts.h"
#include "serial/ComPortMap.h"

namespace {

void WriteText(std::ostream& out, const std::vector<PortEntry>& entries) {
    for (const PortEntry& entry : entries) {
        std::vector<std::string> fields = {entry.text, entry.details.device,
                                           PortDescription(entry.details), entry.details.byId};
        while (fields.size() > 2 && fields.back().empty()) fields.pop_back();
        // Any name may hold a newline or tab (a link's target can be called anything).
        for (size_t i = 0; i < fields.size(); ++i)
            out << (i ? "\t" : "") << WithoutControlCharacters(fields[i]);
        out << '\n';
    }
}

void WriteJson(std::ostream& out, const std::vector<PortEntry>& entries) {
    QJsonArray ports;
    for (const PortEntry& entry : entries) {
        const PortDetails& details = entry.details;
        QJsonObject port;
        port[QStringLiteral("number")] = PortNumberFromText(entry.text);
        port[QStringLiteral("name")] = QString::fromStdString(entry.text);
        port[QStringLiteral("device")] = QString::fromStdString(details.device);
        port[QStringLiteral("description")] = QString::fromStdString(PortDescription(details));
        const std::pair<const char*, const std::string*> known[] = {
            {"manufacturer", &details.manufacturer},
            {"product", &details.product},
            {"serial", &details.serial},
            {"by_id", &details.byId},
            {"driver", &details.driver},
            {"usb_id", &details.usbId}};
        for (const auto& [key, value] : known) {
            if (!value->empty()) port[QLatin1String(key)] = QString::fromStdString(*value);
        }
        ports.append(port);
    }
    out << QJsonDocument(ports).toJson(QJsonDocument::Indented).toStdString();
}

}  // namespace

int RunPortsCommand(std::ostream& out, bool json) {
    return RunPortsCommand(out, SystemPortSource(), json);
}

int RunPortsCommand(std::ostream& out, const IPortSource& source, bool json) {
    const std::vector<PortEntry> entries = EnumeratePorts(source).entries;
    if (json) {
        WriteJson(out, entries);
    } else {
        WriteText(out, entries);
    }
    return 0;
}
