#include "portselect/PortEntryDevice.h"

#include "serial/ComPortMap.h"

struct EntryDevices::State {
    KernelConsoles consoles;
};

EntryDevices::EntryDevices(const ConsoleRoots& consoleRoots)
    : m_state(std::make_unique<State>(State{KernelConsoles::Read(consoleRoots)})) {}

EntryDevices::~EntryDevices() = default;

std::optional<EntryDevice> EntryDevices::Of(const std::string& text) const {
    EntryDevice device;
    device.path = DeviceForComNumber(PortNumberFromText(text)).value_or("");
    if (device.path.empty()) return device;
    if (m_state->consoles.Contains(device.path)) return std::nullopt;
    device.finalPath = FinalPath(device.path);
    return device;
}

const ConsoleRoots& DefaultConsoleRoots() { return SystemConsoleRoots(); }
