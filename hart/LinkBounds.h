#pragma once

#include <cstddef>
#include <cstdint>

#include "hart/HartFrame.h"

// How long the link's operations may take, whatever the line carries: every wait is
// bounded, so a babbling, trickling or vanished line ends each operation in time.
namespace hart {

// Read waits of the preamble hunt; the hunt as a whole ends when they are spent.
inline constexpr uint32_t kPreambleReadWaits = 3;
// The longest frame after its preamble: delimiter, long header, 255 data bytes, checksum.
inline constexpr size_t kLongestFrameBytes = 1 + kLongHeaderBytes + 255 + 1;

// A reception: the hunt's waits, then at most the longest frame on the air.
constexpr uint32_t ReceptionBoundMs(uint32_t waitMs) {
    return kPreambleReadWaits * waitMs + OnAirMs(kLongestFrameBytes);
}

// A transmission: the write's wait, the frame's keyed time, and the wait for the
// transmitter to drain.
constexpr uint32_t TransmissionBoundMs(size_t length, uint32_t waitMs) {
    return waitMs + OnAirMs(length) + 1 + waitMs;
}

// An identity poll gives up once it has spent this much per attempt allowed to it, even if
// burst frames or other masters keep raising its attempt limit: a scan of 15 addresses must
// end in a minute on any line.
inline constexpr uint32_t kIdentityPollMsPerAttempt = 3500;

// The other commands give up once they have spent this much per attempt they are allowed
// at that moment: a device that answers "busy" for ever, or stray frames without end, no
// longer hold them past what their attempts on a quiet line take.
inline constexpr uint32_t kCommandMsPerAttempt = 2000;

}  // namespace hart
