#pragma once

#include "portselect/PortSource.h"

// Whether listing the ports may give a USB adapter its COM number of its own (a link in the
// ports folder). The chooser and `tralvo-cli ports` do; the troubleshooter, which never
// changes the system, only lists. Where the system numbers its ports itself (Windows), both
// only list.
enum class NumberAssignment { Assign, ListOnly };

// The ports of this machine, from the system's own device list: libudev on Linux, SetupAPI's
// Ports class on Windows.
const IPortSource& SystemPortSource(NumberAssignment assignment = NumberAssignment::Assign);
