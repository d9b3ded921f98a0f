#pragma once

#include <ostream>

#include "portselect/PortSource.h"

// `tralvo-cli ports`: the entries of the port chooser in its order, one a line:
// the entry text, a tab, the device path it opens (empty when it opens nothing).
// Returns the exit status.
int RunPortsCommand(std::ostream& out);
// The same over another source of ports.
int RunPortsCommand(std::ostream& out, const IPortSource& source);
