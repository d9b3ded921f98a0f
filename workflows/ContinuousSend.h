#pragma once

#include <cstdint>
#include <functional>

#include "hart/HartLink.h"
#include "workflows/TestView.h"

// Continuous send keeps the modem transmitting: identity polls to address 0, one right
// after the other, until asked to stop or until the port stops working.

// The status while the send runs; the system's own spelling, never translated.
inline constexpr char kContinuousStatus[] = "Continous send...";

// The steps before the polls, on the caller's thread: reads the window, shows the status
// and opens the port. After a failed open it has shown the error and "COM Port Error" and
// returns false; true means the port is open and the polls may start. members: the front
// end's members on entry, their new values on return (the HART ID is 0 in either case,
// though the window only shows that at its next write-back).
bool BeginContinuousSend(CHartLink& link, ITestView& view, TestMembers& members);

enum class ContinuousEnd { Stopped, PortStopped };

// The polls: after the port's 1000 ms settle, polls address 0 with at most 2 attempts,
// back to back, until shouldStop() returns true (asked before every poll), a stop request
// wakes the port, or the port stops working. onPoll, if given, hears each poll's number
// (from 1) and whether a device answered. Closes the port before it returns.
ContinuousEnd RunContinuousPolls(
    CHartLink& link, const std::function<bool()>& shouldStop,
    const std::function<void(uint64_t poll, bool answered)>& onPoll = {});

// What the send shows when the port stopped working: the message, then "COM Port Error".
void ReportPortStopped(ITestView& view, TestMembers& members);
