#include "serial/Serial.h"

#include <windows.h>

#include <algorithm>
#include <string>

#include "serial/PortWaits.h"

namespace {

HANDLE AsHandle(intptr_t port) { return reinterpret_cast<HANDLE>(port); }

SerialStatus SystemError() { return static_cast<SerialStatus>(GetLastError()); }

std::wstring Widen(const char* text) {
    const int length = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
    if (length <= 1) return {};
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text, -1, wide.data(), length);
    wide.resize(static_cast<size_t>(length - 1));
    return wide;
}

// A port whose adapter has been pulled out fails every call with one of these; it has no
// settings left to put back.
bool DeviceGone(SerialStatus status) {
    return status == ERROR_BAD_COMMAND || status == ERROR_GEN_FAILURE ||
           status == ERROR_DEVICE_NOT_CONNECTED || status == ERROR_DEVICE_REMOVED;
}

// Waits for an overlapped operation on `record` to end: 0 with the bytes it moved,
// kSerialTimeout, kSerialInterrupted (the wake-up), or the platform's error. An operation
// still running then is cancelled and waited for, so that it never touches the caller's
// buffer (or this stack's record) after the call has returned; what it moved is dropped.
SerialStatus AwaitCompletion(HANDLE port, OVERLAPPED& record, HANDLE wakeup, DWORD timeoutMs,
                             DWORD& moved) {
    moved = 0;
    HANDLE waits[2] = {record.hEvent, wakeup};
    const DWORD woke = WaitForMultipleObjects(wakeup ? 2 : 1, waits, FALSE, timeoutMs);
    if (woke == WAIT_OBJECT_0) {
        return GetOverlappedResult(port, &record, &moved, FALSE) ? kSerialSuccess : SystemError();
    }
    SerialStatus ended = kSerialTimeout;
    if (woke == WAIT_OBJECT_0 + 1) ended = kSerialInterrupted;
    if (woke == WAIT_FAILED) ended = SystemError();
    CancelIoEx(port, &record);
    // What moved before the cancel is reported to the capture, not as the transfer's count.
    GetOverlappedResult(port, &record, &moved, TRUE);
    return ended;
}

}  // namespace

struct CSerial::Backend {
    // Starts one overlapped transfer with `start` and sees it to its end. A transfer that
    // times out or is woken empties its direction (purgeAtEnd) and reports a count of 0.
    template <typename Start>
    static SerialStatus Transfer(CSerial& port, size_t count, size_t* moved, bool haveBuffer,
                                 uint32_t timeoutMs, DWORD purgeAtEnd, Start start);

    HANDLE ioEvent = nullptr;  // the completion event of the port's transfers
    size_t lastMoved = 0;      // what the last transfer moved, a cut-short one included
    DCB foundState{};          // put back at Close, with the time-outs
    COMMTIMEOUTS foundTimeouts{};
};

template <typename Start>
SerialStatus CSerial::Backend::Transfer(CSerial& port, size_t count, size_t* moved, bool haveBuffer,
                                        uint32_t timeoutMs, DWORD purgeAtEnd, Start start) {
    size_t unused = 0;
    size_t& reported = moved ? *moved : unused;
    reported = 0;
    port.m_lastError = kSerialSuccess;
    if (!port.IsOpen()) return port.m_lastError = kSerialInvalidHandle;
    if ((count > 0 && !haveBuffer) || count > MAXDWORD) {
        return port.m_lastError = kSerialInvalidArg;
    }
    if (count == 0) return port.m_lastError;
    const HANDLE handle = AsHandle(port.m_port);
    OVERLAPPED record{};
    record.hEvent = port.m_backend->ioEvent;
    ResetEvent(record.hEvent);
    if (!start(handle, static_cast<DWORD>(count), record) && GetLastError() != ERROR_IO_PENDING) {
        return port.m_lastError = SystemError();
    }
    const HANDLE wakeup = port.m_wakeup.Native() == -1 ? nullptr : AsHandle(port.m_wakeup.Native());
    DWORD done = 0;
    port.m_lastError = AwaitCompletion(handle, record, wakeup, timeoutMs, done);
    port.m_backend->lastMoved = done;
    if (port.m_lastError == kSerialTimeout || port.m_lastError == kSerialInterrupted) {
        PurgeComm(handle, purgeAtEnd);
        return port.m_lastError;
    }
    if (port.m_lastError == kSerialSuccess) reported = done;
    return port.m_lastError;
}

CSerial::CSerial(ConsoleRoots consoleRoots)
    : m_consoleRoots(std::move(consoleRoots)), m_backend(std::make_unique<Backend>()) {}

CSerial::~CSerial() {
    if (IsOpen()) CSerial::Close();
}

SerialStatus CSerial::Open(const char* path, uint32_t inQueue, uint32_t outQueue) {
    m_lastError = kSerialSuccess;
    if (IsOpen()) return m_lastError = kSerialAlreadyOpen;
    // A port whose waits no stop request could end might keep the program beyond reach.
    if (const int error = m_wakeup.CreationError()) return m_lastError = error;
    const std::wstring name = Widen(path ? path : "");
    if (name.empty()) return m_lastError = kSerialFileNotFound;
    // Not shared: a port another program holds is refused (ERROR_ACCESS_DENIED).
    const HANDLE handle = CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return m_lastError = SystemError();
    const HANDLE ioEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    Backend& backend = *m_backend;
    backend.foundState = DCB{};
    backend.foundState.DCBlength = sizeof(DCB);
    // Without the settings found there, Close could not leave a shared adapter as it was.
    if (!ioEvent || !SetupComm(handle, inQueue, outQueue) ||
        !GetCommState(handle, &backend.foundState) ||
        !GetCommTimeouts(handle, &backend.foundTimeouts)) {
        m_lastError = SystemError();
        if (ioEvent) CloseHandle(ioEvent);
        CloseHandle(handle);
        return m_lastError;
    }
    m_port = reinterpret_cast<intptr_t>(handle);
    backend.ioEvent = ioEvent;
    return SettleAfterOpen();
}

SerialStatus CSerial::Close() {
    m_lastError = kSerialSuccess;
    if (!IsOpen()) return m_lastError;
    // Whoever shares the adapter finds it as it was before this program took it. The port
    // is given up even when that fails, but the caller learns of it; an adapter that has
    // gone needs nothing put back.
    const HANDLE handle = AsHandle(m_port);
    SerialStatus restored = kSerialSuccess;
    if (!SetCommState(handle, &m_backend->foundState) ||
        !SetCommTimeouts(handle, &m_backend->foundTimeouts)) {
        restored = SystemError();
        if (DeviceGone(restored)) restored = kSerialSuccess;
    }
    CloseHandle(m_backend->ioEvent);
    m_backend->ioEvent = nullptr;
    CloseHandle(handle);
    m_port = kNoPort;
    return m_lastError = restored;
}

namespace {
// Reads the DCB, lets `change` alter it, writes it back: 0 or the platform's error.
template <typename Change>
SerialStatus ChangeState(HANDLE port, Change change) {
    DCB state{};
    state.DCBlength = sizeof state;
    if (!GetCommState(port, &state)) return SystemError();
    change(state);
    return SetCommState(port, &state) ? kSerialSuccess : SystemError();
}

// Reads the DCB for a getter: the value `field` takes from it, or -1 with the status.
template <typename Field>
int32_t ReadStateField(intptr_t port, SerialStatus& lastError, Field field) {
    lastError = kSerialSuccess;
    if (port == -1) {
        lastError = kSerialInvalidHandle;
        return -1;
    }
    DCB state{};
    state.DCBlength = sizeof state;
    if (!GetCommState(AsHandle(port), &state)) {
        lastError = SystemError();
        return -1;
    }
    return field(state);
}
}  // namespace

SerialStatus CSerial::SetLineFormat(uint32_t baud, uint8_t byteSize, uint8_t parity,
                                    uint8_t stopBits) {
    m_lastError = kSerialSuccess;
    if (!IsOpen()) return m_lastError = kSerialInvalidHandle;
    return m_lastError = ChangeState(AsHandle(m_port), [&](DCB& state) {
               state.BaudRate = baud;
               state.ByteSize = byteSize;
               state.Parity = parity;
               state.StopBits = stopBits;
               state.fParity = parity != kNoParity;
           });
}

SerialStatus CSerial::SetEventChar(uint8_t eventChar, bool addToMask) {
    m_lastError = kSerialSuccess;
    if (!IsOpen()) return m_lastError = kSerialInvalidHandle;
    if (addToMask && SetEventMask(GetEventMask() | kEventRxFlag) != kSerialSuccess) {
        return m_lastError;
    }
    m_lastError = ChangeState(AsHandle(m_port), [&](DCB& state) { state.EvtChar = eventChar; });
    if (m_lastError == kSerialSuccess) m_eventChar = eventChar;
    return m_lastError;
}

SerialStatus CSerial::SetEventMask(uint32_t mask) {
    m_lastError = kSerialSuccess;
    if (!IsOpen()) return m_lastError = kSerialInvalidHandle;
    if (!SetCommMask(AsHandle(m_port), mask)) return m_lastError = SystemError();
    m_eventMask = mask;
    return m_lastError;
}

SerialStatus CSerial::WaitEvent(uint32_t timeoutMs) {
    m_lastError = kSerialSuccess;
    if (!IsOpen()) return m_lastError = kSerialInvalidHandle;
    const HANDLE handle = AsHandle(m_port);
    OVERLAPPED record{};
    record.hEvent = m_backend->ioEvent;
    ResetEvent(record.hEvent);
    DWORD events = 0;
    if (!WaitCommEvent(handle, &events, &record) && GetLastError() != ERROR_IO_PENDING) {
        m_lastEvents = kEventError;
        return m_lastError = SystemError();
    }
    const HANDLE wakeup = m_wakeup.Native() == -1 ? nullptr : AsHandle(m_wakeup.Native());
    DWORD unused = 0;
    m_lastError = AwaitCompletion(handle, record, wakeup, timeoutMs, unused);
    if (m_lastError == kSerialSuccess) m_lastEvents = events;
    return m_lastError;
}

SerialStatus CSerial::SetHandshake(int mode) {
    m_lastError = kSerialSuccess;
    if (!IsOpen()) return m_lastError = kSerialInvalidHandle;
    if (!IsHandshakeMode(mode)) return m_lastError = kSerialInvalidArg;
    return m_lastError = ChangeState(AsHandle(m_port), [mode](DCB& state) {
               const bool hardware = mode == HandshakeHardware;
               const bool software = mode == HandshakeSoftware;
               state.fOutxCtsFlow = hardware;
               state.fOutxDsrFlow = hardware;
               state.fDtrControl = hardware ? DTR_CONTROL_HANDSHAKE : DTR_CONTROL_DISABLE;
               state.fRtsControl = hardware ? RTS_CONTROL_HANDSHAKE : RTS_CONTROL_DISABLE;
               state.fOutX = software;
               state.fInX = software;
           });
}

SerialStatus CSerial::SetReadMode(int mode) {
    m_lastError = kSerialSuccess;
    if (!IsOpen()) return m_lastError = kSerialInvalidHandle;
    COMMTIMEOUTS timeouts{};
    if (!GetCommTimeouts(AsHandle(m_port), &timeouts)) return m_lastError = SystemError();
    if (mode != ReturnAtOnce && mode != WaitForCount) return m_lastError = kSerialInvalidArg;
    // Reads always wait for their full count; a ReturnAtOnce read asks only for what the
    // driver already holds (see Read). Overlapped reads with the "return at once" time-outs
    // (MAXDWORD, 0, 0) stay pending under Wine, so those are not used.
    timeouts.ReadIntervalTimeout = 0;
    timeouts.ReadTotalTimeoutMultiplier = 0;
    timeouts.ReadTotalTimeoutConstant = 0;
    if (!SetCommTimeouts(AsHandle(m_port), &timeouts)) return m_lastError = SystemError();
    m_readMode = mode;
    return m_lastError;
}

int32_t CSerial::GetBaudRate() {
    return ReadStateField(m_port, m_lastError,
                          [](const DCB& state) { return static_cast<int32_t>(state.BaudRate); });
}

int32_t CSerial::GetByteSize() {
    return ReadStateField(m_port, m_lastError, [](const DCB& state) { return state.ByteSize; });
}

int32_t CSerial::GetParity() {
    return ReadStateField(m_port, m_lastError, [](const DCB& state) {
        return state.fParity ? int32_t{state.Parity} : int32_t{kNoParity};
    });
}

int32_t CSerial::GetStopBits() {
    return ReadStateField(m_port, m_lastError, [](const DCB& state) { return state.StopBits; });
}

int32_t CSerial::GetHandshake() {
    return ReadStateField(m_port, m_lastError, [](const DCB& state) {
        if (state.fDtrControl == DTR_CONTROL_HANDSHAKE &&
            state.fRtsControl == RTS_CONTROL_HANDSHAKE)
            return int32_t{HandshakeHardware};
        if (state.fOutX && state.fInX) return int32_t{HandshakeSoftware};
        return int32_t{HandshakeOff};
    });
}

uint32_t CSerial::GetEventMask() {
    m_lastError = kSerialSuccess;
    if (!IsOpen()) {
        m_lastError = kSerialInvalidHandle;
        return 0;
    }
    DWORD mask = 0;
    if (!GetCommMask(AsHandle(m_port), &mask)) {
        m_lastError = SystemError();
        return 0;
    }
    return mask;
}

uint8_t CSerial::GetEventChar() {
    const int32_t eventChar = ReadStateField(m_port, m_lastError, [](const DCB& state) {
        return static_cast<int32_t>(static_cast<uint8_t>(state.EvtChar));
    });
    return eventChar < 0 ? 0 : static_cast<uint8_t>(eventChar);
}

SerialStatus CSerial::Write(const void* data, size_t count, size_t* sent, uint32_t timeoutMs) {
    return Backend::Transfer(*this, count, sent, data != nullptr, timeoutMs,
                             PURGE_TXABORT | PURGE_TXCLEAR,
                             [data](HANDLE port, DWORD bytes, OVERLAPPED& record) {
                                 return WriteFile(port, data, bytes, nullptr, &record) != 0;
                             });
}

SerialStatus CSerial::Read(void* buffer, size_t count, size_t* received, uint32_t timeoutMs) {
    if (m_readMode == ReturnAtOnce && IsOpen() && buffer != nullptr) {
        // Only what the driver holds now, so that the read ends at once.
        COMSTAT status{};
        DWORD errors = 0;
        if (!ClearCommError(AsHandle(m_port), &errors, &status)) {
            if (received) *received = 0;
            return m_lastError = SystemError();
        }
        count = std::min<size_t>(count, status.cbInQue);
    }
    // Windows tells of parity and framing errors only as flags, with no place to mark.
    m_lastReadErrorsAt.clear();
    m_backend->lastMoved = 0;
    const SerialStatus status = Backend::Transfer(
        *this, count, received, buffer != nullptr, timeoutMs, PURGE_RXABORT | PURGE_RXCLEAR,
        [buffer](HANDLE port, DWORD bytes, OVERLAPPED& record) {
            return ReadFile(port, buffer, bytes, nullptr, &record) != 0;
        });
    m_lastReadArrived = m_backend->lastMoved;
    return status;
}

size_t CSerial::QueuedInput() const {
    COMSTAT status{};
    DWORD errors = 0;
    if (!IsOpen() || !ClearCommError(AsHandle(m_port), &errors, &status)) return 0;
    return status.cbInQue;
}

SerialStatus CSerial::Purge() {
    m_lastError = kSerialSuccess;
    if (!IsOpen()) return m_lastError = kSerialInvalidHandle;
    if (!PurgeComm(AsHandle(m_port), PURGE_TXCLEAR | PURGE_RXCLEAR)) m_lastError = SystemError();
    return m_lastError;
}

SerialStatus CSerial::SetHartLine(uint32_t baud) {
    m_lastError = kSerialSuccess;
    if (!IsOpen()) return m_lastError = kSerialInvalidHandle;
    const HANDLE handle = AsHandle(m_port);
    // DTR powers many modems and RTS stays up until the link keys it.
    m_lastError = ChangeState(handle, [baud](DCB& state) {
        state.BaudRate = baud;
        state.ByteSize = 8;
        state.Parity = ODDPARITY;
        state.StopBits = ONESTOPBIT;
        state.fBinary = 1;
        state.fParity = 1;
        state.fOutxCtsFlow = 0;
        state.fOutxDsrFlow = 0;
        state.fDtrControl = DTR_CONTROL_ENABLE;
        state.fDsrSensitivity = 0;
        state.fTXContinueOnXoff = 0;
        state.fOutX = 0;
        state.fInX = 0;
        state.fErrorChar = 0;
        state.fNull = 0;
        state.fRtsControl = RTS_CONTROL_ENABLE;
        state.fAbortOnError = 0;
    });
    if (m_lastError) return m_lastError;
    SetReadMode(WaitForCount);
    if (!PurgeComm(handle, PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR)) {
        const SerialStatus error = SystemError();
        Close();
        return m_lastError = error;
    }
    m_lastError = kSerialSuccess;
    DWORD errors = 0;
    if (!ClearCommError(handle, &errors, nullptr)) m_lastError = SystemError();
    return m_lastError;
}

SerialStatus CSerial::SetRts(bool raised) {
    m_lastError = kSerialSuccess;
    if (!IsOpen()) return m_lastError = kSerialInvalidHandle;
    if (!EscapeCommFunction(AsHandle(m_port), raised ? SETRTS : CLRRTS))
        m_lastError = SystemError();
    return m_lastError;
}

SerialStatus CSerial::AbortAndFlush() {
    m_lastError = kSerialSuccess;
    if (!IsOpen()) return m_lastError = kSerialInvalidHandle;
    if (!PurgeComm(AsHandle(m_port),
                   PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR)) {
        m_lastError = SystemError();
    }
    return m_lastError;
}

SerialStatus CSerial::DrainOutput(uint32_t timeoutMs) {
    m_lastError = kSerialSuccess;
    if (!IsOpen()) return m_lastError = kSerialInvalidHandle;
    // The driver's queue is watched in pauses that the wake-up ends; FlushFileBuffers, which
    // nothing can cut short, then only waits for the last few characters.
    const HANDLE handle = AsHandle(m_port);
    const port_io::Deadline deadline(timeoutMs);
    const int32_t baud = GetBaudRate();
    m_lastError = kSerialSuccess;
    const auto queued = [handle](int& bytes) {
        COMSTAT status{};
        DWORD errors = 0;
        if (!ClearCommError(handle, &errors, &status)) return static_cast<int>(GetLastError());
        bytes = static_cast<int>(status.cbOutQue);
        return 0;
    };
    const int waited = port_io::WaitUntilQueueEmpty(
        queued, baud > 0 ? static_cast<uint32_t>(baud) : 1200u, deadline, m_wakeup);
    if (waited == port_io::kTimedOut) return m_lastError = kSerialTimeout;
    if (waited == port_io::kWokenUp) return m_lastError = kSerialInterrupted;
    if (waited != 0) return m_lastError = waited;
    if (!FlushFileBuffers(handle)) m_lastError = SystemError();
    return m_lastError;
}

CSerial::LineErrors CSerial::LineErrorCounts() const {
    // Windows reports line errors as flags, not counts, so there is nothing to count here.
    return {};
}
