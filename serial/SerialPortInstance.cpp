#include "serial/Serial.h"

CSerial& TheSerialPort() {
    // Built on first use and destroyed at exit, which closes a port left open.
    static CSerial port;
    return port;
}
