#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "paths/ConfigPaths.h"
#include "serial/ComNumberText.h"

// How COM numbers, as the user interface and the settings speak them, map to Linux
// devices (see docs/platform.md):
//   1. a link $XDG_CONFIG_HOME/Brenlow/Tralvo/ports/COM<n>, if it exists;
//   2. the fixed ranges: COM1-32 -> /dev/ttyS0-31, COM33-64 -> /dev/ttyUSB0-31,
//      COM65-96 -> /dev/ttyACM0-31, COM100-131 -> /dev/rfcomm0-31, COM132-147 ->
//      /dev/ttyAMA0-15, COM148-163 -> /dev/ttyXRUSB0-15, COM164-179 -> /dev/ttyMXUSB0-15,
//      COM180-187 -> /dev/ttySC0-7, COM188-195 -> /dev/ttyTHS0-7, COM196-199 ->
//      /dev/ttymxc0-3 (COM99 is "no port chosen"; 97, 98 and 200-255 only ever name links);
//   3. anything else has no device.

// The path of the link for COM<n> (whether or not it exists), in PortLinksFolder().
std::string PortLinkPath(unsigned comNumber);

// The device that COM<n> opens, or nothing when the number has no device.
std::optional<std::string> DeviceForComNumber(unsigned comNumber);

// The COM number of a fixed-range device path such as /dev/ttyUSB0 (33), or nothing.
std::optional<unsigned> ComNumberForDevice(const std::string& devicePath);

// The fixed range a device path such as /dev/ttyUSB5 belongs to: COM33 to COM64.
struct ComRange {
    unsigned first = 0;
    unsigned last = 0;
};
std::optional<ComRange> ComRangeOfDevice(const std::string& devicePath);

// A device path of the real system ("/dev/ttyUSB0") as it lies under another root for
// /dev (a test's fake tree); other paths as they are.
std::string PathUnderDevRoot(const std::string& devRoot, const std::string& systemPath);

// The file a path leads to with every link followed, or the path itself when it cannot be
// resolved (gone, or not readable).
std::string FinalPath(const std::string& path);

// The text of a symbolic link (what it names, unresolved); nothing when `path` is no link or
// cannot be read.
std::optional<std::string> LinkText(const std::string& path);

// Resolves what CSerial::Open is given: "\\.\COM<n>" through the mapping above, an
// absolute path as it is. Nothing when the name has no device.
std::optional<std::string> ResolvePortName(const std::string& name);
