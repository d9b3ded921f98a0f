#include "portselect/SetupApiPortSource.h"
#include "troubleshooter/PortList.h"

std::vector<ListedPort> ListPorts() { return ListPorts(SetupApiPortSource()); }
