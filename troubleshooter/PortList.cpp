#include "troubleshooter/PortList.h"

#include "portselect/PortEnumeration.h"
#include "portselect/SysfsPortSource.h"
#include "serial/ComPortMap.h"

std::vector<ListedPort> ListPorts() { return ListPorts(SystemPortSource()); }

std::vector<ListedPort> ListPorts(const IPortSource& source) {
    // The chooser's own enumeration, so both always show the same ports in the same order;
    // the number is the one the main window would store for the entry's text.
    std::vector<ListedPort> ports;
    for (const PortEntry& entry : EnumeratePorts(source).entries) {
        ports.push_back({PortNumberFromText(entry.text), entry.text, entry.devicePath});
    }
    return ports;
}
