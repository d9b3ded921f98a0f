#pragma once

#include <vector>

#include "portselect/PortSource.h"

// The serial ports of a Windows machine as Device Manager lists them: the devices present
// in SetupAPI's Ports class, each with its friendly name, the port name of its key, driver
// service, manufacturer and instance id (PortRecordFromSetupApi names them).
class SetupApiPortSource : public IPortSource {
public:
    bool ReadPorts(std::vector<PortRecord>& ports) const override;
};
