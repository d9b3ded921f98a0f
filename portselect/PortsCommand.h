#pragma once

#include <ostream>

// `tralvo-cli ports`: the entries of the port chooser in its order, one a line:
// the entry text, a tab, the device path it opens. Returns the exit status.
int RunPortsCommand(std::ostream& out);
