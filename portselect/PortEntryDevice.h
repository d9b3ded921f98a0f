#pragma once

#include <memory>
#include <optional>
#include <string>

#include "serial/KernelConsole.h"

// What choosing a chooser entry opens on this system.
struct EntryDevice {
    std::string path;       // what CSerial::Open is given: "/dev/ttyUSB0" or a ports-folder
                            // link on Linux, "\\.\COM3" on Windows; empty: nothing
    std::string finalPath;  // that with every link followed (empty with it)
};

// Decides for the entries of one listing which device each opens. Built once per listing,
// as it reads what the system says about its consoles.
class EntryDevices {
public:
    explicit EntryDevices(const ConsoleRoots& consoleRoots);
    ~EntryDevices();
    EntryDevices(const EntryDevices&) = delete;
    EntryDevices& operator=(const EntryDevices&) = delete;

    // The device the entry text opens by its port number. Nothing when the entry must not be
    // listed: its device is one of the kernel's consoles, which a poll would garble.
    std::optional<EntryDevice> Of(const std::string& text) const;

private:
    struct State;
    std::unique_ptr<State> m_state;
};

// The roots a listing reads the consoles under when the caller names none.
const ConsoleRoots& DefaultConsoleRoots();
