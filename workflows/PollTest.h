#pragma once

#include "hart/HartLink.h"
#include "workflows/TestView.h"

// How a poll test ended, for front ends that report it beyond the four boxes (the exit
// status of tralvo-cli).
enum class PollOutcome { SingleDevice, MultiDrop, Failed, PortError };

// The Poll HART Network test: opens the port, polls address 0 and reads the device's tag,
// or offers the multi-drop scan of addresses 1 to 15, and leaves the result in the four
// boxes. Waits go through the link's clock. The port is closed at the end, except after a
// failed open (it was not opened by this test). members: the front end's members on entry,
// the results on return (the window shows them too).
PollOutcome RunPollTest(CHartLink& link, ITestView& view, TestMembers& members);
