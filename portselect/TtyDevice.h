#pragma once

#include <string>

// Whether `path`, every link followed, is a character device that a serial or
// pseudo-terminal tty driver serves, by its device number in <procRoot>/tty/drivers. Only
// looks; the device is never opened (an open raises DTR, and some devices act on it). The
// kernel's own ttys (/dev/tty, /dev/console, /dev/ptmx, virtual consoles) are no serial
// ports. Where the table cannot be read, every character device counts.
bool IsSerialTty(const std::string& path, const std::string& procRoot = "/proc");
