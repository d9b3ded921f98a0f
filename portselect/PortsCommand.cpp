#include "portselect/PortsCommand.h"

#include "portselect/PortEnumeration.h"
#include "portselect/SysfsPortSource.h"

int RunPortsCommand(std::ostream& out) { return RunPortsCommand(out, SystemPortSource()); }

int RunPortsCommand(std::ostream& out, const IPortSource& source) {
    for (const PortEntry& entry : EnumeratePorts(source).entries) {
        out << entry.text << '\t' << entry.devicePath << '\n';
    }
    return 0;
}
