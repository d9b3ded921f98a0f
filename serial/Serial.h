#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "serial/KernelConsole.h"
#include "serial/SerialStatus.h"
#include "serial/Wakeup.h"

// Blocking, time-limited access to one serial port. Every operation returns a status
// (see SerialStatus.h) and keeps it in m_lastError. All operations are virtual so that
// tests can stand in a fake port for the real one. The contract is the same everywhere; each
// system has a backend file of its own (SerialPosix.cpp, SerialWin32.cpp).
class CSerial {
public:
    enum EReadMode { ReturnAtOnce = 0, WaitForCount = 1 };
    enum EHandshake { HandshakeOff = 0, HandshakeHardware = 1, HandshakeSoftware = 2 };

    // Parity and stop-bit codes as the line format takes them.
    static constexpr uint8_t kNoParity = 0;
    static constexpr uint8_t kOddParity = 1;
    static constexpr uint8_t kEvenParity = 2;
    static constexpr uint8_t kOneStopBit = 0;
    static constexpr uint8_t kTwoStopBits = 2;

    // Line events for the event mask (values of EV_RXCHAR, EV_RXFLAG, EV_BREAK, EV_ERR).
    static constexpr uint32_t kEventRxChar = 0x0001;
    static constexpr uint32_t kEventRxFlag = 0x0002;
    static constexpr uint32_t kEventBreak = 0x0040;
    static constexpr uint32_t kEventError = 0x0080;

    // consoleRoots: where the kernel lists its consoles, which Open refuses (fake trees in
    // tests).
    explicit CSerial(ConsoleRoots consoleRoots = {});
    virtual ~CSerial();
    CSerial(const CSerial&) = delete;
    CSerial& operator=(const CSerial&) = delete;

    // path: "\\.\COM<n>". On Linux it is resolved through ComPortMap, and an absolute
    // device path is taken as it is; on Windows it goes to CreateFile unchanged (UTF-8).
    virtual SerialStatus Open(const char* path, uint32_t inQueue, uint32_t outQueue);
    virtual SerialStatus Close();
    virtual SerialStatus SetLineFormat(uint32_t baud, uint8_t byteSize, uint8_t parity,
                                       uint8_t stopBits);
    virtual SerialStatus SetEventChar(uint8_t eventChar, bool addToMask);
    virtual SerialStatus SetEventMask(uint32_t mask);
    virtual SerialStatus WaitEvent(uint32_t timeoutMs);
    virtual SerialStatus SetHandshake(int mode);
    virtual SerialStatus SetReadMode(int mode);
    virtual int32_t GetBaudRate();
    virtual int32_t GetByteSize();
    virtual int32_t GetParity();
    virtual int32_t GetStopBits();
    virtual int32_t GetHandshake();
    virtual uint32_t GetEventMask();
    virtual uint8_t GetEventChar();
    virtual SerialStatus WriteString(const char* text, size_t* sent, uint32_t timeoutMs);
    virtual SerialStatus Write(const void* data, size_t count, size_t* sent, uint32_t timeoutMs);
    virtual SerialStatus Read(void* buffer, size_t count, size_t* received, uint32_t timeoutMs);

    // Discards what both directions hold, without aborting transfers.
    virtual SerialStatus Purge();
    // Puts the open port into the HART line format: baud, 8 data bits, odd parity,
    // 1 stop bit, no flow control, DTR and RTS on, WaitForCount reads.
    virtual SerialStatus SetHartLine(uint32_t baud);

    // The two line controls the HART link drives directly: keying the modem's
    // transmitter with RTS, and aborting everything in flight while discarding both
    // buffers (the echo of a request). A port without modem lines (a pty) accepts
    // SetRts and reports its error; callers do not depend on it.
    virtual SerialStatus SetRts(bool raised);
    virtual SerialStatus AbortAndFlush();
    // Waits until what was written has left the port (the driver's queue and the UART),
    // at most timeoutMs: 0, kSerialTimeout, kSerialInterrupted or the platform's error.
    virtual SerialStatus DrainOutput(uint32_t timeoutMs);

    // Ends every wait of this port early (Read, Write, WaitEvent, DrainOutput return
    // kSerialInterrupted) while signalled; see Wakeup.h. The link's pauses listen to it too.
    const CWakeup& Wakeup() const { return m_wakeup; }

    // Bytes received with a parity or framing error (or a break) since the port opened, as
    // far as the driver reports them; they are passed on as received all the same.
    struct LineErrors {
        uint32_t marked = 0;        // bytes the line discipline marked as received in error
        bool driverCounts = false;  // the driver keeps the counts below (TIOCGICOUNT)
        uint32_t parity = 0, framing = 0, overrun = 0, breaks = 0;
    };
    virtual LineErrors LineErrorCounts() const;

    // What the last Read put into the buffer, for a byte-level capture: the bytes that had
    // arrived, those of a read that timed out or was woken included (its count is 0 and
    // they are gone from the port, but they were on the line), and where among them a byte
    // came marked as received with a parity or framing error.
    size_t LastReadArrived() const { return m_lastReadArrived; }
    const std::vector<uint32_t>& LastReadErrorsAt() const { return m_lastReadErrorsAt; }
    // Bytes waiting in the input queue, unread; 0 where the driver does not tell.
    virtual size_t QueuedInput() const;

    bool IsOpen() const { return m_port != kNoPort; }
    SerialStatus LastError() const { return m_lastError; }

protected:
    static constexpr intptr_t kNoPort = -1;

    SerialStatus m_lastError = kSerialSuccess;
    // The open port: a file descriptor (POSIX) or a HANDLE (Windows); kNoPort while closed.
    intptr_t m_port = kNoPort;
    uint32_t m_lastEvents = 0xFFFFFFFFu;
    int m_readMode = ReturnAtOnce;
    uint32_t m_eventMask = 0;
    uint8_t m_eventChar = 0;
    ConsoleRoots m_consoleRoots;
    size_t m_lastReadArrived = 0;
    std::vector<uint32_t> m_lastReadErrorsAt;

private:
    // One of EHandshake's modes, the only values SetHandshake takes.
    static bool IsHandshakeMode(int mode);
    // Leaves a port just opened as every open always has: the line events, 9600 8N1 and
    // ReturnAtOnce reads. Only the last step's status counts.
    SerialStatus SettleAfterOpen();

    // What the platform's port keeps besides its handle; defined by the backend.
    struct Backend;
    std::unique_ptr<Backend> m_backend;
    CWakeup m_wakeup;
};

// The program's one serial port object; it closes an open port when the program ends.
CSerial& TheSerialPort();
