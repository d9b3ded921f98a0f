#pragma once

#include <vector>

#include "portselect/PortSource.h"
#include "portselect/SerialDevice.h"
#include "portselect/SystemPorts.h"

// The records of the devices present and of the links of the ports folder
// ($XDG_CONFIG_HOME/Brenlow/Tralvo/ports, see PortLinksFolder()), appended to `records`:
// devices first, then the links that lead to none of them, each in the order of their
// numbers. `devices` are those a source found, in any order; each is named
// "<title> (COM<n>)".
//
// A device's number, first that applies:
//  1. its own link: COM<n> whose text is the device's identity, a /dev/serial name that
//     leads to it: its by-id name when it has a USB serial number, else its by-path name
//     (adapters without serial numbers, such as most CH340s, share their by-id name, so
//     their socket is what tells them apart, as on Windows);
//  2. a USB adapter with an identity but no link is given one (with Assign): its number in
//     the kernel's order when that is free, else the lowest free number of its range
//     (ttyUSB: COM33-64, ttyACM: COM65-96, ...). Free: no file COM<n> of any kind in the
//     ports folder (a link whose adapter is away keeps its number), no device present
//     without an identity listed there in the kernel's order, none given out in this
//     listing. symlink() never replaces anything; one that finds COM<n> made meanwhile
//     takes it when it names the same identity (a second Tralvo was quicker), else tries
//     the next number; any other failure ends the giving for this listing;
//  3. any other link that leads to it (the lowest number);
//  4. its number in the kernel's order (/dev/ttyUSB0 = COM33), unless a link holds that
//     number: then the number opens something else, and the device is not listed.
// Each device is listed once, and a link is listed only when it leads to a serial port or a
// pseudo-terminal (IsSerialTty: not a dangling link, /dev/null, a file, a folder, a FIFO or
// a socket) that no earlier entry reaches: "Virtual Serial Port (COM<n>)". COM0 is no port
// (number 0 never opens), so a device it leads to is listed under another of its links. The by-id
// name of a device is kept in its details only when it leads to it.
void AppendPortRecords(const std::vector<SerialDevice>& devices, NumberAssignment assignment,
                       std::vector<PortRecord>& records);

// The display name a device with this title gets as COM<n>: "<title> (COM<n>)". Brackets
// and the letters "COM" of the title would mislead the chooser's parsing of the name, which
// cuts at the first "COM" ("Virtual COM Port (COM5)" -> "COM Port COM5"): the brackets are
// dropped and "COM" becomes "Com" (the title in the details stays as it was).
std::string FriendlyName(const std::string& title, unsigned number);
