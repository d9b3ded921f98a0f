#pragma once

#include <cstddef>

// What the master's link layer reports of an exchange, beside the frame format the
// simulated devices share (HartFrame.h).
namespace hart {

// Every reply buffer handed to the link layer has this size.
inline constexpr size_t kReplyBufferSize = 2048;

}  // namespace hart

// Link result codes.
enum LinkResult : unsigned {
    kLinkOk = 0,
    kLinkPortError = 1,         // serial error other than a time-out; open/configure failed
    kLinkChecksumMismatch = 2,  // reply checksum does not match its bytes
    kLinkDataIncomplete = 3,    // data and checksum did not arrive complete
    kLinkWriteIncomplete = 4,   // request not written completely within the wait
    kLinkNoReply = 5,           // no delimiter after a preamble, or no complete header
    kLinkInterrupted = 6,       // a stop request (the port's wake-up) cut the exchange short
    kLinkAlreadyOpen = 8,
    kLinkBadPortNumber = 9,
    kLinkBadBaudRate = 10,
    kLinkNoBuffer = 14,
};
