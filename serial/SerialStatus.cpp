#include "serial/SerialStatus.h"

const char* SerialStatusText(SerialStatus status) {
    switch (status) {
        case kSerialSuccess:
            return "success";
        case kSerialInvalidHandle:
            return "the port is not open";
        case kSerialInterrupted:
            return "interrupted";
        case kSerialAlreadyOpen:
            return "the port is already open";
        case kSerialTimeout:
            return "timed out";
        case kSerialInvalidArg:
            return "invalid argument";
        case kSerialKernelConsole:
            return "the device is the system console";
        case kSerialLineRefused:
            return "the port does not take the line settings it was given";
        default:
            return PlatformErrorText(status);
    }
}
