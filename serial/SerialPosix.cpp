#include "serial/Serial.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <linux/serial.h>

#include <cerrno>
#include <cstring>

#include "serial/ComPortMap.h"
#include "serial/KernelConsole.h"
#include "serial/LineSettings.h"
#include "serial/LineSpeed.h"
#include "serial/MarkedInput.h"
#include "serial/PortIo.h"

namespace {

// The descriptor the port handle holds on this system.
int AsFd(intptr_t port) { return static_cast<int>(port); }

// ENXIO has the number of the "port not open" status; report a missing device as ENODEV.
SerialStatus OpenError(int error) { return error == ENXIO ? ENODEV : error; }

// Root ignores TIOCEXCL, so two instances exclude each other through flock as well; flock
// also ends with the process that held it. A pty slave keeps TIOCEXCL after its opener is
// gone for as long as the other side stays open (a simulator), which would lock every later
// user out after a crash, so a pty gets the flock alone. A port someone holds is reported
// as EBUSY whichever of the two refused it.
int TakeExclusive(int fd, bool& exclusiveFlagSet) {
    exclusiveFlagSet = false;
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) return errno == EWOULDBLOCK ? EBUSY : errno;
    if (port_io::IsPseudoTerminal(fd)) return 0;
    if (ioctl(fd, TIOCEXCL) != 0) return errno;
    exclusiveFlagSet = true;
    return 0;
}

// Ends what TakeExclusive began; closing also releases the flock.
void GiveUpPort(int fd, bool exclusiveFlagSet) {
    if (exclusiveFlagSet) ioctl(fd, TIOCNXCL);
    close(fd);
}

int FlushBoth(int fd) { return tcflush(fd, TCIOFLUSH) == 0 ? 0 : errno; }

// A USB adapter pulled out mid-transfer may leave the descriptor quiet rather than hung up;
// its device node is gone, though.
bool DeviceVanished(const std::string& device) {
    return !device.empty() && access(device.c_str(), F_OK) != 0 && errno == ENOENT;
}

// A line that hung up (a pty whose other side closed) or whose device node has gone has no
// settings left to put back.
bool LineGone(int fd, const std::string& device) {
    pollfd entry{fd, 0, 0};
    return (poll(&entry, 1, 0) == 1 && (entry.revents & POLLHUP)) || DeviceVanished(device);
}

}  // namespace

struct CSerial::Backend {
    struct TransferStep;
    template <typename Step>
    static SerialStatus Transfer(CSerial& port, size_t count, size_t* moved, bool haveBuffer,
                                 uint32_t timeoutMs, Step step);
    // errorsAt: gets the offsets (from the start of the read) of bytes that came marked.
    int ReadStep(int fd, uint8_t* bytes, size_t count, size_t& done,
                 std::vector<uint32_t>& errorsAt);
    // After a format change: whether input now comes marked (parity checking on).
    void NoteMarking(int fd);
    void ForgetInput() { marks.Reset(); }

    CMarkedInput marks;
    bool markedInput = false;
    LineSnapshot foundSettings;  // put back at Close
    bool exclusiveFlag = false;  // TIOCEXCL was set and must be cleared at Close
    std::string devicePath;      // the device itself, every link followed
    LineErrors countsAtOpen;     // the driver's counts when the port opened
    size_t lastMoved = 0;        // what the last transfer moved, a cut-short one included
};

struct CSerial::Backend::TransferStep {
    int error;           // 0 or errno of this step
    short waitFor;       // POLLIN or POLLOUT before the next step
    int flushAtTimeout;  // the queue a timed-out or woken transfer empties
    bool finishNow;      // a read that returns at once stops after one step
};

template <typename Step>
SerialStatus CSerial::Backend::Transfer(CSerial& port, size_t count, size_t* moved, bool haveBuffer,
                                        uint32_t timeoutMs, Step step) {
    // Reads and writes are twins: move what the line allows now, then wait for it to allow
    // more, until the count is complete or the deadline passes. At the deadline, or when
    // woken, the direction's queue is flushed, so a partial transfer leaves nothing
    // behind, and the count stays 0.
    size_t unused = 0;
    size_t& reported = moved ? *moved : unused;
    reported = 0;
    port.m_lastError = kSerialSuccess;
    if (!port.IsOpen()) return port.m_lastError = kSerialInvalidHandle;
    if (count > 0 && !haveBuffer) return port.m_lastError = kSerialInvalidArg;
    const port_io::Deadline deadline(timeoutMs);
    size_t done = 0;
    for (;;) {
        const TransferStep result = step(done);
        port.m_backend->lastMoved = done;
        if (result.error) return port.m_lastError = result.error;
        if (done == count || result.finishNow) break;
        const int waited = port_io::WaitUntilReady(AsFd(port.m_port), result.waitFor, deadline,
                                                   port.m_wakeup.Fd());
        if (waited == port_io::kTimedOut || waited == port_io::kWokenUp) {
            tcflush(AsFd(port.m_port), result.flushAtTimeout);
            if (result.flushAtTimeout == TCIFLUSH) port.m_backend->ForgetInput();
            if (waited == port_io::kWokenUp) return port.m_lastError = kSerialInterrupted;
            return port.m_lastError =
                       DeviceVanished(port.m_backend->devicePath) ? ENODEV : kSerialTimeout;
        }
        if (waited != 0) return port.m_lastError = waited;
    }
    reported = done;
    return port.m_lastError;
}

int CSerial::Backend::ReadStep(int fd, uint8_t* bytes, size_t count, size_t& done,
                               std::vector<uint32_t>& errorsAt) {
    if (!markedInput) return port_io::ReadAvailable(fd, bytes, count, done);
    // Marked input is never shorter than what it stands for, so reading at most the bytes
    // still wanted can never decode into more than the buffer holds.
    uint8_t raw[512];
    size_t decodedNow = 0;
    while (decodedNow < count) {
        size_t got = 0;
        const size_t want = count - decodedNow < sizeof raw ? count - decodedNow : sizeof raw;
        if (const int error = port_io::ReadAvailable(fd, raw, want, got)) return error;
        if (got == 0) break;
        decodedNow += marks.Decode(raw, got, bytes + decodedNow, &errorsAt, done + decodedNow);
    }
    done += decodedNow;
    return 0;
}

void CSerial::Backend::NoteMarking(int fd) {
    line_settings::State state{};
    markedInput = line_settings::ReadState(fd, state) == 0 && state.marksErrors;
}

namespace {
// The driver's own error counts, where it keeps them (UARTs and most USB adapters; not ptys):
// driverCounts tells whether it does.
CSerial::LineErrors ReadDriverCounts(int fd) {
    CSerial::LineErrors errors;
    serial_icounter_struct counts{};
    if (ioctl(fd, TIOCGICOUNT, &counts) != 0) return errors;
    errors.driverCounts = true;
    errors.parity = static_cast<uint32_t>(counts.parity);
    errors.framing = static_cast<uint32_t>(counts.frame);
    errors.overrun = static_cast<uint32_t>(counts.overrun + counts.buf_overrun);
    errors.breaks = static_cast<uint32_t>(counts.brk);
    return errors;
}
}  // namespace

CSerial::CSerial(ConsoleRoots consoleRoots)
    : m_consoleRoots(std::move(consoleRoots)), m_backend(std::make_unique<Backend>()) {}

CSerial::~CSerial() {
    if (IsOpen()) CSerial::Close();
}

SerialStatus CSerial::Open(const char* path, uint32_t /*inQueue*/, uint32_t /*outQueue*/) {
    // The Linux driver sizes its own queues, so the requested sizes are accepted as they are.
    m_lastError = kSerialSuccess;
    if (IsOpen()) return m_lastError = kSerialAlreadyOpen;
    // A port whose waits no stop request could end might keep the program beyond reach.
    if (const int error = m_wakeup.CreationError()) return m_lastError = error;
    const auto device = ResolvePortName(path ? path : "");
    if (!device) return m_lastError = kSerialFileNotFound;
    // Setting a console to the HART line and writing frames into it would garble it.
    if (IsKernelConsole(*device, m_consoleRoots)) return m_lastError = kSerialKernelConsole;
    const int fd = open(device->c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return m_lastError = OpenError(errno);
    if (const int error = TakeExclusive(fd, m_backend->exclusiveFlag)) {
        close(fd);
        return m_lastError = error;
    }
    // Without the settings found there, Close could not leave a shared adapter as it was;
    // a device that will not tell them would not take the line settings either.
    if (const int error = TakeLineSnapshot(fd, m_backend->foundSettings)) {
        GiveUpPort(fd, m_backend->exclusiveFlag);
        m_backend->exclusiveFlag = false;
        return m_lastError = error;
    }
    m_port = fd;
    m_backend->devicePath = FinalPath(*device);
    m_backend->countsAtOpen = ReadDriverCounts(fd);
    m_backend->marks = CMarkedInput();
    return SettleAfterOpen();
}

SerialStatus CSerial::Close() {
    m_lastError = kSerialSuccess;
    if (!IsOpen()) return m_lastError;
    // Whoever shares the adapter finds it as it was before this program took it. The port
    // is given up even when that fails, but the caller learns of it and can warn; an adapter
    // that has gone needs nothing put back.
    int restored = RestoreLineSnapshot(AsFd(m_port), m_backend->foundSettings);
    if (restored && LineGone(AsFd(m_port), m_backend->devicePath)) restored = kSerialSuccess;
    GiveUpPort(AsFd(m_port), m_backend->exclusiveFlag);
    m_port = kNoPort;
    m_backend->exclusiveFlag = false;
    m_backend->markedInput = false;
    m_backend->devicePath.clear();
    return m_lastError = restored;
}

SerialStatus CSerial::SetLineFormat(uint32_t baud, uint8_t byteSize, uint8_t parity,
                                    uint8_t stopBits) {
    m_lastError = kSerialSuccess;
    if (!IsOpen()) return m_lastError = kSerialInvalidHandle;
    m_lastError = line_settings::ApplyFormat(AsFd(m_port), {baud, byteSize, parity, stopBits});
    m_backend->NoteMarking(AsFd(m_port));
    return m_lastError;
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
    const int waited =
        port_io::WaitUntilReady(AsFd(m_port), POLLIN, port_io::Deadline(timeoutMs), m_wakeup.Fd());
    if (waited == port_io::kTimedOut || waited == port_io::kWokenUp) {
        FlushBoth(AsFd(m_port));
        m_backend->ForgetInput();
        return m_lastError = waited == port_io::kTimedOut ? kSerialTimeout : kSerialInterrupted;
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
    if (!IsHandshakeMode(mode)) return m_lastError = kSerialInvalidArg;
    if ((m_lastError = line_settings::ApplyHandshake(AsFd(m_port), mode)) != kSerialSuccess) {
        return m_lastError;
    }
    // Hardware handshake hands the lines to the driver; the other modes release them.
    return m_lastError = line_settings::SetModemLinesIfPresent(
               AsFd(m_port), line_settings::DtrAndRts(), mode == HandshakeHardware);
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
    if ((m_lastError = GetLineSpeed(AsFd(m_port), baud)) != kSerialSuccess) return -1;
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
    return ReadLineField(AsFd(m_port), m_lastError, &line_settings::State::byteSize);
}
int32_t CSerial::GetParity() {
    return ReadLineField(AsFd(m_port), m_lastError, &line_settings::State::parity);
}
int32_t CSerial::GetStopBits() {
    return ReadLineField(AsFd(m_port), m_lastError, &line_settings::State::stopBits);
}
int32_t CSerial::GetHandshake() {
    return ReadLineField(AsFd(m_port), m_lastError, &line_settings::State::handshake);
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

SerialStatus CSerial::Write(const void* data, size_t count, size_t* sent, uint32_t timeoutMs) {
    const auto* bytes = static_cast<const uint8_t*>(data);
    return Backend::Transfer(*this, count, sent, data != nullptr, timeoutMs, [&](size_t& done) {
        return Backend::TransferStep{
            port_io::WriteAccepted(AsFd(m_port), bytes + done, count - done, done), POLLOUT,
            TCOFLUSH, false};
    });
}

SerialStatus CSerial::Read(void* buffer, size_t count, size_t* received, uint32_t timeoutMs) {
    auto* bytes = static_cast<uint8_t*>(buffer);
    m_lastReadErrorsAt.clear();
    m_backend->lastMoved = 0;
    const SerialStatus status =
        Backend::Transfer(*this, count, received, buffer != nullptr, timeoutMs, [&](size_t& done) {
            return Backend::TransferStep{
                m_backend->ReadStep(AsFd(m_port), bytes + done, count - done, done,
                                    m_lastReadErrorsAt),
                POLLIN, TCIFLUSH, m_readMode == ReturnAtOnce};
        });
    m_lastReadArrived = m_backend->lastMoved;
    return status;
}

size_t CSerial::QueuedInput() const {
    int queued = 0;
    if (!IsOpen() || ioctl(AsFd(m_port), FIONREAD, &queued) != 0 || queued < 0) return 0;
    return static_cast<size_t>(queued);
}

SerialStatus CSerial::Purge() {
    m_lastError = kSerialSuccess;
    if (!IsOpen()) return m_lastError = kSerialInvalidHandle;
    m_backend->ForgetInput();
    return m_lastError = FlushBoth(AsFd(m_port));
}

SerialStatus CSerial::SetHartLine(uint32_t baud) {
    m_lastError = kSerialSuccess;
    if (!IsOpen()) return m_lastError = kSerialInvalidHandle;
    const line_settings::Format hart{baud, 8, kOddParity, kOneStopBit};
    m_lastError = line_settings::ApplyFormatWithoutFlowControl(AsFd(m_port), hart);
    m_backend->NoteMarking(AsFd(m_port));
    if (m_lastError) return m_lastError;
    // DTR powers many modems and RTS stays up until the link keys it; a pty has neither.
    if ((m_lastError = line_settings::SetModemLinesIfPresent(AsFd(m_port),
                                                             line_settings::DtrAndRts(), true))) {
        return m_lastError;
    }
    SetReadMode(WaitForCount);
    m_backend->ForgetInput();
    if (const int error = FlushBoth(AsFd(m_port))) {
        Close();
        return m_lastError = error;
    }
    return m_lastError = kSerialSuccess;
}

SerialStatus CSerial::SetRts(bool raised) {
    m_lastError = kSerialSuccess;
    if (!IsOpen()) return m_lastError = kSerialInvalidHandle;
    return m_lastError = line_settings::SetModemLines(AsFd(m_port), line_settings::Rts(), raised);
}

SerialStatus CSerial::AbortAndFlush() {
    // Transfers never outlive their call here, so there is nothing in flight to abort.
    return CSerial::Purge();
}

SerialStatus CSerial::DrainOutput(uint32_t timeoutMs) {
    m_lastError = kSerialSuccess;
    if (!IsOpen()) return m_lastError = kSerialInvalidHandle;
    // The driver's queue is watched with waits that a wake-up ends, rather than tcdrain
    // alone, which only a signal could cut short; tcdrain then waits for the last few
    // characters in the UART itself.
    const port_io::Deadline deadline(timeoutMs);
    uint32_t baud = 0;
    if (GetLineSpeed(AsFd(m_port), baud) != 0 || baud == 0) baud = 1200;
    const auto queued = [this](int& bytes) {
        return ioctl(AsFd(m_port), TIOCOUTQ, &bytes) == 0 ? 0 : errno;
    };
    const int waited = port_io::WaitUntilQueueEmpty(queued, baud, deadline, m_wakeup);
    if (waited == port_io::kTimedOut) return m_lastError = kSerialTimeout;
    if (waited == port_io::kWokenUp) return m_lastError = kSerialInterrupted;
    if (waited != 0) return m_lastError = waited;
    while (tcdrain(AsFd(m_port)) != 0) {
        if (errno != EINTR) return m_lastError = errno;
        if (m_wakeup.IsSignalled()) return m_lastError = kSerialInterrupted;
    }
    return m_lastError;
}

CSerial::LineErrors CSerial::LineErrorCounts() const {
    LineErrors errors;
    errors.marked = m_backend->marks.MarkedBytes();
    if (!IsOpen() || !m_backend->countsAtOpen.driverCounts) return errors;
    const LineErrors now = ReadDriverCounts(AsFd(m_port));
    if (!now.driverCounts) return errors;
    errors.driverCounts = true;
    errors.parity = now.parity - m_backend->countsAtOpen.parity;
    errors.framing = now.framing - m_backend->countsAtOpen.framing;
    errors.overrun = now.overrun - m_backend->countsAtOpen.overrun;
    errors.breaks = now.breaks - m_backend->countsAtOpen.breaks;
    return errors;
}
