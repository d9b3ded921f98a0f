#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "portselect/PortSource.h"
#include "serial/KernelConsole.h"

// One entry of the port chooser.
struct PortEntry {
    std::string text;        // "COM33", as listed and as stored when chosen
    uint32_t number = 0;     // read from text with "COM%u" (0 when it does not parse); sort key
    std::string devicePath;  // what choosing the entry opens ("/dev/ttyUSB0" or the COM<n>
                             // link; "\\.\COM3" on Windows); empty: nothing
    PortDetails details;     // from the source, but device is what devicePath leads to with
                             // every link followed (empty with it), and a title the source
                             // did not give is the name before its "(COM<n>)"
};

// Maps an English word of the description ("serial", the titles of PortSource.h)
// to the interface language; empty: English.
using PortWords = std::function<std::string(const char* english)>;

// One line on what the port is: "FT232R USB UART - FTDI, serial A10K3XYZ"; the title, the
// product where it says more, the manufacturer where the rest does not name it, the serial
// number. Empty when nothing is known.
std::string PortDescription(const PortDetails& details, const PortWords& words = {});
// Where it is (in any language, as the system names it): "/dev/ttyUSB1, by-id
// usb-FTDI_FT232R_USB_UART_A10K3XYZ-if00-port0"; empty when nothing is known.
std::string PortLocation(const PortDetails& details);

struct PortEnumeration {
    std::vector<PortEntry> entries;
    // false: the source stopped on an error; entries holds those found so far, unsorted.
    bool complete = true;
};

// The chooser's list, from the display names of a source (each entry keeps the details of
// the record its name came from):
//  - only names containing "COM" (case-sensitive) count; every "(" and ")" is removed and
//    the text is cut at the first "COM", then trailing white space is removed; at most 99
//    characters are kept ("USB Serial Port (COM3)" -> "COM3",
//    "Virtual COM Port (COM5)" -> "COM Port COM5");
//  - an entry whose text equals an earlier one, ignoring letter case, is dropped;
//  - a complete enumeration is ordered by number, equal numbers keeping their order
//    (COM3 before COM10).
// The device of an entry is the one its text opens through the COM number mapping. An
// entry whose device is one of the kernel's consoles is left out: choosing it would poll
// the console.
PortEnumeration EnumeratePorts(const IPortSource& source, const ConsoleRoots& consoleRoots = {});
