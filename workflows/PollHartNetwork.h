#pragma once

#include "hart/HartLink.h"
#include "workflows/TestView.h"

// How a poll test ended, for front ends that report it beyond the four boxes (the exit
// status of tralvo-cli). PortError covers a port that did not open and one that stopped
// working during the test; Interrupted, a stop request (the port's wake-up).
enum class PollOutcome { SingleDevice, MultiDrop, Failed, PortError, Interrupted };

// The Poll HART Network test: opens the port, polls address 0 and reads the device's tag,
// or offers the multi-drop scan of addresses 1 to 15, and leaves the result in the four
// boxes. Waits go through the link's clock and end early at a stop request. The port is
// closed at the end, except after a failed open (it was not opened by this test). A port
// that stops working ends the test with "COM Port Error" and a message; a stop request
// ends it with "Test cancelled" and no message. members: the front end's members on entry, the
// results on return (the window shows them too).
PollOutcome RunPollTest(CHartLink& link, ITestView& view, TestMembers& members);
