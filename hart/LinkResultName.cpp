#include "hart/LinkResultName.h"

#include "hart/LinkResult.h"

const char* LinkResultName(unsigned result) {
    switch (result) {
        case kLinkOk:
            return "ok";
        case kLinkPortError:
            return "port error";
        case kLinkChecksumMismatch:
            return "checksum mismatch";
        case kLinkDataIncomplete:
            return "data incomplete";
        case kLinkWriteIncomplete:
            return "write incomplete";
        case kLinkNoReply:
            return "no reply";
        case kLinkInterrupted:
            return "interrupted";
        case kLinkAlreadyOpen:
            return "already open";
        case kLinkBadPortNumber:
            return "bad port number";
        case kLinkBadBaudRate:
            return "bad baud rate";
        case kLinkNoBuffer:
            return "no buffer";
        default:
            return "unknown";
    }
}
