// Placeholder until port enumeration lands.
#include "portselect/PortsCommand.h"

int RunPortsCommand(std::ostream&) { return 0; }
