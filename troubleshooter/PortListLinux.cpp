#include "portselect/UdevPortSource.h"
#include "troubleshooter/PortList.h"

// The troubleshooter never changes the system, so it gives no adapter a number of its own.
std::vector<ListedPort> ListPorts() {
    return ListPorts(SystemPortSource(NumberAssignment::ListOnly));
}
