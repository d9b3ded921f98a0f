#include "hart/HartLink.h"

#include <algorithm>
#include <cstring>

#include "hart/LinkBounds.h"
#include "serial/ComNumberText.h"

namespace {

constexpr uint32_t kQueueBytes = 2048;
constexpr uint32_t kTrailingKeyUs = 1000;

bool IsAcceptedBaudRate(uint32_t baud) {
    static constexpr uint32_t kAccepted[] = {110,   300,   600,    1200,   2400,
                                             4800,  9600,  14400,  19200,  38400,
                                             56000, 57600, 115200, 128000, 256000};
    for (uint32_t accepted : kAccepted)
        if (baud == accepted) return true;
    return false;
}

}  // namespace

CHartLink::CHartLink(CSerial& port, IClock& clock) : m_port(port), m_clock(clock) {}

unsigned CHartLink::OpenPort(uint8_t portNumber, uint32_t baudRate) {
    if (m_port.IsOpen()) return kLinkAlreadyOpen;
    if (portNumber == 0) return kLinkBadPortNumber;
    m_portFailure = kSerialSuccess;
    m_openFailure = kSerialSuccess;
    m_closeFailure = kSerialSuccess;
    m_nLastRequestLength = 0;
    if (const SerialStatus opened =
            m_port.Open(ComDeviceName(portNumber).c_str(), kQueueBytes, kQueueBytes)) {
        m_openFailure = opened;
        return kLinkPortError;
    }
    // Checked only once the port is open: a bad rate leaves it open, as callers expect.
    if (!IsAcceptedBaudRate(baudRate)) return kLinkBadBaudRate;
    if (const SerialStatus configured = m_port.SetHartLine(baudRate)) {
        m_openFailure = configured;
        // A tty that keeps other settings is of no use, and left open it would only turn
        // every later open into "already open".
        if (configured == kSerialLineRefused) m_port.Close();
        return kLinkPortError;
    }
    return kLinkOk;
}

SerialStatus CHartLink::ClosePort() {
    if (!m_port.IsOpen()) return kSerialSuccess;
    return m_closeFailure = m_port.Close();
}

bool CHartLink::Pause(uint32_t ms) {
    if (m_callEndMs) ms = std::min(ms, MsUntil(m_clock, *m_callEndMs));
    return m_clock.SleepUnlessWoken(ms, m_port.Wakeup());
}

unsigned CHartLink::SerialStepFailed(SerialStatus status) {
    if (status == kSerialInterrupted) return kLinkInterrupted;
    if (m_portFailure == kSerialSuccess) m_portFailure = status;
    return kLinkPortError;
}

unsigned CHartLink::SendFrame(const uint8_t* frame, size_t length, uint32_t waitMs) {
    if (!frame) return kLinkNoBuffer;
    m_nLastRequestLength = length <= m_lastRequest.size() ? length : 0;
    std::memcpy(m_lastRequest.data(), frame, m_nLastRequestLength);
    const unsigned result = KeyAndWrite(frame, length, waitMs);
    if (m_pObserver) m_pObserver->FrameSent(frame, length, result);
    return result;
}

void CHartLink::Unkey() {
    m_port.SetRts(false);
    DiscardInput(&CSerial::AbortAndFlush);
}

void CHartLink::DiscardInput(SerialStatus (CSerial::*discard)()) {
    const size_t queued = m_pObserver ? m_port.QueuedInput() : 0;
    (m_port.*discard)();
    if (m_pObserver) m_pObserver->InputDiscarded(queued);
}

unsigned CHartLink::KeyAndWrite(const uint8_t* frame, size_t length, uint32_t waitMs) {
    const uint32_t onAirUs = hart::OnAirMs(length) * 1000u;
    // Unkeyed, the modem would not send the request: that is a port error, not "no reply".
    // A port without modem lines (a pty, a modem that keys itself) carries the frame as it is.
    if (const SerialStatus keyed = m_port.SetRts(true); keyed && !LacksModemLines(keyed)) {
        return SerialStepFailed(keyed);
    }
    const uint32_t startUs = m_clock.MicroCount();
    size_t sent = 0;
    const SerialStatus status = m_port.Write(frame, length, &sent, waitMs);
    if (m_pObserver && sent > 0) m_pObserver->BytesWritten(frame, sent);
    if (status != kSerialSuccess || sent < length) {
        // Never leave the modem keyed: it would hold the line against every other station.
        m_port.SetRts(false);
        return status == kSerialSuccess || status == kSerialTimeout ? kLinkWriteIncomplete
                                                                    : SerialStepFailed(status);
    }
    // The driver reports the write done long before the last character has left the
    // UART, so the clock decides when the frame is off the air; one more millisecond lets
    // the modem's transmitter finish. Sleep rather than spin, to one deadline, so that a
    // late wake-up is paid once.
    const uint32_t keyedUs = onAirUs + kTrailingKeyUs;
    for (uint32_t elapsed = m_clock.MicroCount() - startUs; elapsed < keyedUs;
         elapsed = m_clock.MicroCount() - startUs) {
        if (!m_clock.SleepMicrosUnlessWoken(keyedUs - elapsed, m_port.Wakeup())) {
            Unkey();
            return kLinkInterrupted;
        }
    }
    // An adapter that began sending late still has the frame's end in its transmitter:
    // RTS stays up until that has left as well.
    if (const SerialStatus drained = m_port.DrainOutput(waitMs); drained != kSerialSuccess) {
        Unkey();
        return drained == kSerialTimeout ? kLinkWriteIncomplete : SerialStepFailed(drained);
    }
    // A modem left keyed would talk over the reply.
    const SerialStatus unkeyed = m_port.SetRts(false);
    // Whatever came back while the transmitter was keyed is the modem's echo.
    DiscardInput(&CSerial::AbortAndFlush);
    return unkeyed && !LacksModemLines(unkeyed) ? SerialStepFailed(unkeyed) : kLinkOk;
}
