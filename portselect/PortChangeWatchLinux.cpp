#include "portselect/PortChangeWatch.h"
#include "portselect/UdevPortSource.h"

std::unique_ptr<PortChangeWatch> WatchSystemPorts() {
    return std::make_unique<PortMonitorWatch>(MakeSystemPortMonitor());
}
