#pragma once

#include <ostream>

#include "portselect/PortSource.h"

// `tralvo-cli ports`: the entries of the port chooser in its order, one a line, fields
// separated by tabs: the entry text, the device it opens with every link followed (empty
// when it opens nothing), what the port is (PortDescription) and its /dev/serial/by-id
// name; the last two empty when unknown, trailing empty fields left off:
//   COM33<TAB>/dev/ttyUSB1<TAB>FT232R USB UART - FTDI, serial A10K3XYZ<TAB>/dev/serial/by-id/...
// With json, one JSON array of objects, one for each entry in that order:
//   number (the COM number choosing it stores), name ("COM33"), device, description, and
//   where known manufacturer, product, serial, by_id, driver, usb_id ("0403:6001").
// Listing gives new USB adapters their numbers, as the chooser does. Returns the exit status.
int RunPortsCommand(std::ostream& out, bool json = false);
// The same over another source of ports.
int RunPortsCommand(std::ostream& out, const IPortSource& source, bool json = false);
