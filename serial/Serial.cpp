// What the port class does alike on every system; the rest is in its backend file.
#include "serial/Serial.h"

#include <cstring>

SerialStatus CSerial::WriteString(const char* text, size_t* sent, uint32_t timeoutMs) {
    const char* bytes = text ? text : "";
    return Write(bytes, std::strlen(bytes), sent, timeoutMs);
}

SerialStatus CSerial::SettleAfterOpen() {
    SetEventMask(kEventRxChar | kEventBreak | kEventError);
    SetLineFormat(9600, 8, kNoParity, kOneStopBit);
    return SetReadMode(ReturnAtOnce);
}

bool CSerial::IsHandshakeMode(int mode) {
    return mode == HandshakeOff || mode == HandshakeHardware || mode == HandshakeSoftware;
}
