#pragma once

#include <string>

// Whether a device node is a terminal, which every serial port is. A COM link may lead
// anywhere (/dev/null, a file, a sound device), and nothing but a tty can carry HART.
enum class TerminalKind { Terminal, NotTerminal, Unknown };

// Asks sysfs first (/sys/dev/char/<major>:<minor>/subsystem), so that a real device is
// never opened just to be looked at: opening some devices has effects (a watchdog starts
// counting). Only a node sysfs does not know (pty slaves) is opened, without waiting, and
// asked with isatty. Unknown when it cannot be opened for a reason other than being held.
TerminalKind ExamineTerminal(const std::string& path, const std::string& sysRoot);
