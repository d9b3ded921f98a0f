#pragma once

#include <string>
#include <vector>

// Where the port chooser learns which serial ports are present: their display names
// ("FT232R USB UART (COM33)") in the order the system enumerates them. The chooser's
// parsing, de-duplication and ordering work on these names alone, so any source, and any
// test, that can name ports can feed it.
class IPortSource {
public:
    virtual ~IPortSource() = default;

    // Appends the display names of the ports present now, in enumeration order. Returns
    // false when the enumeration stopped on an error; names then holds those found so far.
    virtual bool ReadFriendlyNames(std::vector<std::string>& names) const = 0;
};
