#include "troubleshooter/PortList.h"

#include <sstream>

#include "portselect/PortsCommand.h"
#include "serial/ComPortMap.h"

std::vector<ListedPort> ParsePortLines(const std::string& lines) {
    std::vector<ListedPort> ports;
    std::istringstream in(lines);
    for (std::string line; std::getline(in, line);) {
        const auto tab = line.find('\t');
        ListedPort port;
        port.text = line.substr(0, tab);
        if (tab != std::string::npos) port.device = line.substr(tab + 1);
        if (port.text.empty()) continue;
        port.comNumber = PortNumberFromText(port.text);
        ports.push_back(std::move(port));
    }
    return ports;
}

std::vector<ListedPort> ListPorts() {
    // The chooser's own listing, so both always show the same ports in the same order.
    std::ostringstream lines;
    RunPortsCommand(lines);
    return ParsePortLines(lines.str());
}
