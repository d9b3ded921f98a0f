#include "troubleshooter/PortList.h"

#include "portselect/PortEnumeration.h"
#include "serial/ComPortMap.h"

std::vector<ListedPort> ListPorts(const IPortSource& source) {
    // The chooser's own enumeration, so both always show the same ports in the same order;
    // the number is the one the main window would store for the entry's text.
    std::vector<ListedPort> ports;
    for (const PortEntry& entry : EnumeratePorts(source).entries) {
        ports.push_back({PortNumberFromText(entry.text), entry.text, entry.details.device,
                         PortDescription(entry.details), entry.details.byId});
    }
    return ports;
}

std::string PortLine(const ListedPort& port) {
    std::string line = port.text;
    if (!port.device.empty()) line += "  " + port.device;
    if (!port.description.empty()) line += "  " + port.description;
    if (!port.byId.empty()) {
        const size_t slash = port.byId.find_last_of('/');
        line += (port.description.empty() ? "  by-id " : ", by-id ") +
                (slash == std::string::npos ? port.byId : port.byId.substr(slash + 1));
    }
    return line;
}
