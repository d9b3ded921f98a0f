#include "portselect/PortEntryDevice.h"

#include "serial/ComPortMap.h"

// Windows has no kernel console on a serial port, and COM<n> is no link to follow.
struct EntryDevices::State {};

EntryDevices::EntryDevices(const ConsoleRoots&) : m_state(std::make_unique<State>()) {}

EntryDevices::~EntryDevices() = default;

std::optional<EntryDevice> EntryDevices::Of(const std::string& text) const {
    EntryDevice device;
    // Port number 0 is refused by every open.
    if (const unsigned number = PortNumberFromText(text); number != 0) {
        device.path = "\\\\.\\COM" + std::to_string(number);
        device.finalPath = device.path;
    }
    return device;
}

const ConsoleRoots& DefaultConsoleRoots() {
    static const ConsoleRoots none;
    return none;
}
