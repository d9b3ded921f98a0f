#include "serial/Serial.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "serial/ComPortMap.h"
#include "serial/LineSettings.h"
#include "serial/LineSpeed.h"
#include "serial/PortIo.h"

namespace {

constexpr uint32_t kOpenEventMask =
    CSerial::kEventRxChar | CSerial::kEventBreak | CSerial::kEventError;

// ENXIO has the number of the "port not open" status; report a missing device as ENODEV.
SerialStatus OpenError(int error) { return error == ENXIO ? ENODEV : error; }

// Root ignores TIOCEXCL, so two instances exclude each other through flock as well. A
// port someone holds is reported as EBUSY whichever of the two refused it.
int TakeExclusive(int fd) {
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) return errno == EWOULDBLOCK ? EBUSY : errno;
    if (ioctl(fd, TIOCEXCL) != 0) return errno;
    return 0;
}

struct TransferStep {
    int error;           // 0 or errno of this step
    short waitFor;       // POLLIN or POLLOUT before the next step
    int flushAtTimeout;  // the queue a timed-out transfer empties
    bool finishNow;      // a read that returns at once stops after one step
};

int FlushBoth(int fd) { return tcflush(fd, TCIOFLUSH) == 0 ? 0 : errno; }

// Reads and writes are twins: move what the line allows now, then wait for it to allow
// more, until the count is complete or the deadline passes. At the deadline the direction's
// queue is flushed, so a partial transfer leaves nothing behind, and the count stays 0.
template <typename Step>
SerialStatus Transfer(int port, SerialStatus& lastError, size_t count, size_t* moved,
                      bool haveBuffer, uint32_t timeoutMs, Step step) {
    size_t unused = 0;
    size_t& reported = moved ? *moved : unused;
    reported = 0;
    lastError = kSerialSuccess;
    if (port < 0) return lastError = kSerialInvalidHandle;
    if (count > 0 && !haveBuffer) return lastError = kSerialInvalidArg;
    const port_io::Deadline deadline(timeoutMs);
    size_t done = 0;
    for (;;) {
        const TransferStep result = step(done);
        if (result.error) return lastError = result.error;
        if (done == count || result.finishNow) break;
        const int waited = port_io::WaitUntilReady(port, result.waitFor, deadline);
        if (waited == port_io::kTimedOut) {
            tcflush(port, result.flushAtTimeout);
            return lastError = kSerialTimeout;
        }
        if (waited != 0) return lastError = waited;
    }
    reported = done;
    return lastError;
}

}  // namespace

CSerial::CSerial() = default;

CSerial::~CSerial() {
    if (IsOpen()) CSerial::Close();
}

SerialStatus CSerial::Open(const char* path, uint32_t /*inQueue*/, uint32_t /*outQueue*/) {
    // The Linux driver sizes its own queues, so the requested sizes are accepted as they are.
    m_lastError = kSerialSuccess;
    if (IsOpen()) return m_lastError = kSerialAlreadyOpen;
    const auto device = ResolvePortName(path ? path : "");
    if (!device) return m_lastError = kSerialFileNotFound;
    const int fd = open(device->c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return m_lastError = OpenError(errno);
    if (const int error = TakeExclusive(fd)) {
        close(fd);
        return m_lastError = error;
    }
    m_port = fd;
    // As the port has always been left after opening; only the last step's status counts.
    SetEventMask(kOpenEventMask);
    SetLineFormat(9600, 8, kNoParity, kOneStopBit);
    return SetReadMode(ReturnAtOnce);
}

SerialStatus CSerial::Close() {
    m_lastError = kSerialSuccess;
    if (!IsOpen()) return m_lastError;
    // A pty slave keeps its exclusive flag after the last close; clear it for the next opener.
    ioctl(m_port, TIOCNXCL);
    close(m_port);  // also releases the flock
    m_port = -1;
    return m_lastError;
}

SerialStatus CSerial::SetLineFormat(uint32_t baud, uint8_t byteSize, uint8_t parity,
                                    uint8_t stopBits) {
    m_lastError = kSerialSuccess;
    if (!IsOpen()) return m_lastError = kSerialInvalidHandle;
    return m_lastError = line_settings::ApplyFormat(m_port, {baud, byteSize, parity, stopBits});
}

SerialStatus CSerial::SetEventChar(uint8_t eventChar, bool addToMask) {
    m_lastError = kSerialSuccess;
    if (!IsOpen()) return m_lastError = kSerialInvalidHandle;
    if (addToMask && SetEventMask(GetEventMask() | kEventRxFlag) != kSerialSuccess) {
        return m_lastError;
    }
    m_lastError = kSerialSuccess;
    m_eventChar = eventChar;  // termios has no event character; it is kept here
    return m_lastError;
}

SerialStatus CSerial::SetEventMask(uint32_t mask) {
    m_lastError = kSerialSuccess;
    if (!IsOpen()) return m_lastError = kSerialInvalidHandle;
    m_eventMask = mask;  // termios has no event mask; WaitEvent reads it from here
    return m_lastError;
}

SerialStatus CSerial::WaitEvent(uint32_t timeoutMs) {
    m_lastError = kSerialSuccess;
    if (!IsOpen()) return m_lastError = kSerialInvalidHandle;
    const int waited = port_io::WaitUntilReady(m_port, POLLIN, port_io::Deadline(timeoutMs));
    if (waited == port_io::kTimedOut) {
        FlushBoth(m_port);
        return m_lastError = kSerialTimeout;
    }
    if (waited != 0) {
        m_lastEvents = kEventError;
        return m_lastError = waited;
    }
    m_lastEvents = kEventRxChar;
    return m_lastError;
}

SerialStatus CSerial::SetHandshake(int mode) {
    m_lastError = kSerialSuccess;
    if (!IsOpen()) return m_lastError = kSerialInvalidHandle;
    if (mode != HandshakeOff && mode != HandshakeHardware && mode != HandshakeSoftware) {
        return m_lastError = kSerialInvalidArg;
    }
    if ((m_lastError = line_settings::ApplyHandshake(m_port, mode)) != kSerialSuccess) {
        return m_lastError;
    }
    // Hardware handshake hands the lines to the driver; the other modes release them.
    return m_lastError = line_settings::SetModemLinesIfPresent(m_port, line_settings::DtrAndRts(),
                                                               mode == HandshakeHardware);
}

SerialStatus CSerial::SetReadMode(int mode) {
    m_lastError = kSerialSuccess;
    if (!IsOpen()) return m_lastError = kSerialInvalidHandle;
    if (mode != ReturnAtOnce && mode != WaitForCount) return m_lastError = kSerialInvalidArg;
    m_readMode = mode;  // reads poll against their own deadline; termios is not involved
    return m_lastError;
}

int32_t CSerial::GetBaudRate() {
    m_lastError = kSerialSuccess;
    if (!IsOpen()) {
        m_lastError = kSerialInvalidHandle;
        return -1;
    }
    uint32_t baud = 0;
    if ((m_lastError = GetLineSpeed(m_port, baud)) != kSerialSuccess) return -1;
    return static_cast<int32_t>(baud);
}

namespace {
// The getters that read the line's state share this: -1 and the status on failure.
template <typename Field>
int32_t ReadLineField(int port, SerialStatus& lastError, Field field) {
    lastError = kSerialSuccess;
    if (port < 0) {
        lastError = kSerialInvalidHandle;
        return -1;
    }
    line_settings::State state{};
    if ((lastError = line_settings::ReadState(port, state)) != kSerialSuccess) return -1;
    return state.*field;
}
}  // namespace

int32_t CSerial::GetByteSize() {
    return ReadLineField(m_port, m_lastError, &line_settings::State::byteSize);
}
int32_t CSerial::GetParity() {
    return ReadLineField(m_port, m_lastError, &line_settings::State::parity);
}
int32_t CSerial::GetStopBits() {
    return ReadLineField(m_port, m_lastError, &line_settings::State::stopBits);
}
int32_t CSerial::GetHandshake() {
    return ReadLineField(m_port, m_lastError, &line_settings::State::handshake);
}

uint32_t CSerial::GetEventMask() {
    m_lastError = kSerialSuccess;
    if (!IsOpen()) {
        m_lastError = kSerialInvalidHandle;
        return 0;
    }
    return m_eventMask;
}

uint8_t CSerial::GetEventChar() {
    m_lastError = kSerialSuccess;
    if (!IsOpen()) {
        m_lastError = kSerialInvalidHandle;
        return 0;
    }
    return m_eventChar;
}

SerialStatus CSerial::WriteString(const char* text, size_t* sent, uint32_t timeoutMs) {
    const char* bytes = text ? text : "";
    return Write(bytes, std::strlen(bytes), sent, timeoutMs);
}

SerialStatus CSerial::Write(const void* data, size_t count, size_t* sent, uint32_t timeoutMs) {
    const auto* bytes = static_cast<const uint8_t*>(data);
    return Transfer(
        m_port, m_lastError, count, sent, data != nullptr, timeoutMs, [&](size_t& done) {
            return TransferStep{port_io::WriteAccepted(m_port, bytes + done, count - done, done),
                                POLLOUT, TCOFLUSH, false};
        });
}

SerialStatus CSerial::Read(void* buffer, size_t count, size_t* received, uint32_t timeoutMs) {
    auto* bytes = static_cast<uint8_t*>(buffer);
    return Transfer(
        m_port, m_lastError, count, received, buffer != nullptr, timeoutMs, [&](size_t& done) {
            return TransferStep{port_io::ReadAvailable(m_port, bytes + done, count - done, done),
                                POLLIN, TCIFLUSH, m_readMode == ReturnAtOnce};
        });
}

SerialStatus CSerial::Purge() {
    m_lastError = kSerialSuccess;
    if (!IsOpen()) return m_lastError = kSerialInvalidHandle;
    return m_lastError = FlushBoth(m_port);
}

SerialStatus CSerial::SetHartLine(uint32_t baud) {
    m_lastError = kSerialSuccess;
    if (!IsOpen()) return m_lastError = kSerialInvalidHandle;
    const line_settings::Format hart{baud, 8, kOddParity, kOneStopBit};
    if ((m_lastError = line_settings::ApplyFormatWithoutFlowControl(m_port, hart))) {
        return m_lastError;
    }
    // DTR powers many modems and RTS stays up until the link keys it; a pty has neither.
    if ((m_lastError =
             line_settings::SetModemLinesIfPresent(m_port, line_settings::DtrAndRts(), true))) {
        return m_lastError;
    }
    SetReadMode(WaitForCount);
    if (const int error = FlushBoth(m_port)) {
        Close();
        return m_lastError = error;
    }
    return m_lastError = kSerialSuccess;
}

SerialStatus CSerial::SetRts(bool raised) {
    m_lastError = kSerialSuccess;
    if (!IsOpen()) return m_lastError = kSerialInvalidHandle;
    return m_lastError = line_settings::SetModemLines(m_port, line_settings::Rts(), raised);
}

SerialStatus CSerial::AbortAndFlush() {
    // Transfers never outlive their call here, so there is nothing in flight to abort.
    m_lastError = kSerialSuccess;
    if (!IsOpen()) return m_lastError = kSerialInvalidHandle;
    return m_lastError = FlushBoth(m_port);
}
