// Placeholder until the termios implementation lands.
#include "serial/Serial.h"

CSerial::CSerial() = default;
CSerial::~CSerial() = default;
SerialStatus CSerial::Open(const char*, uint32_t, uint32_t) { return m_lastError = kSerialFileNotFound; }
SerialStatus CSerial::Close() { return m_lastError = kSerialSuccess; }
SerialStatus CSerial::SetLineFormat(uint32_t, uint8_t, uint8_t, uint8_t) { return m_lastError = kSerialInvalidHandle; }
SerialStatus CSerial::SetEventChar(uint8_t, bool) { return m_lastError = kSerialInvalidHandle; }
SerialStatus CSerial::SetEventMask(uint32_t) { return m_lastError = kSerialInvalidHandle; }
SerialStatus CSerial::WaitEvent(uint32_t) { return m_lastError = kSerialInvalidHandle; }
SerialStatus CSerial::SetHandshake(int) { return m_lastError = kSerialInvalidHandle; }
SerialStatus CSerial::SetReadMode(int) { return m_lastError = kSerialInvalidHandle; }
int32_t CSerial::GetBaudRate() { return -1; }
int32_t CSerial::GetByteSize() { return -1; }
int32_t CSerial::GetParity() { return -1; }
int32_t CSerial::GetStopBits() { return -1; }
int32_t CSerial::GetHandshake() { return -1; }
uint32_t CSerial::GetEventMask() { return 0; }
uint8_t CSerial::GetEventChar() { return 0; }
SerialStatus CSerial::WriteString(const char*, size_t*, uint32_t) { return m_lastError = kSerialInvalidHandle; }
SerialStatus CSerial::Write(const void*, size_t, size_t*, uint32_t) { return m_lastError = kSerialInvalidHandle; }
SerialStatus CSerial::Read(void*, size_t, size_t*, uint32_t) { return m_lastError = kSerialInvalidHandle; }
SerialStatus CSerial::Purge() { return m_lastError = kSerialInvalidHandle; }
SerialStatus CSerial::SetHartLine(uint32_t) { return m_lastError = kSerialInvalidHandle; }
SerialStatus CSerial::SetRts(bool) { return m_lastError = kSerialInvalidHandle; }
SerialStatus CSerial::AbortAndFlush() { return m_lastError = kSerialInvalidHandle; }
CSerial& TheSerialPort() {
    static CSerial port;
    return port;
}
