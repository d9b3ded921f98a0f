#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "hart/Clock.h"
#include "hart/HartFrame.h"
#include "hart/LinkResult.h"
#include "serial/Serial.h"

// Sees every frame the link sends and every reception it completes or fails; used for
// tracing. Calls come on the thread that runs the link.
//
// Below the frames, the wire: every byte the link wrote to or read from the port, as each
// port call returned, before any hunting, purging or rewriting. A reception's bytes come
// between the frame reported before it and its FrameReceived; offsets count them from 0.
class ILinkObserver {
public:
    virtual ~ILinkObserver() = default;
    // Bytes the port took for sending (a write cut short: those it took).
    virtual void BytesWritten(const uint8_t* bytes, size_t count) { (void)bytes, (void)count; }
    // Bytes a read brought, a read that timed out included; errorsAt: offsets within them
    // of bytes received with a parity or framing error, where the port tells.
    virtual void BytesRead(const uint8_t* bytes, size_t count,
                           const std::vector<uint32_t>& errorsAt) {
        (void)bytes, (void)count, (void)errorsAt;
    }
    // The input was discarded unread, as far as the driver counted it: after a
    // transmission (the modem's echo), or after a reception.
    virtual void InputDiscarded(size_t queued) { (void)queued; }
    // Within the reception under way: bytes the link took for the echo of its request...
    virtual void EchoDropped(size_t offset, size_t count) { (void)offset, (void)count; }
    // ...and the delimiter of the frame it went on to read.
    virtual void DelimiterFound(size_t offset) { (void)offset; }

    // frame: the whole request as written (preamble to checksum); result: SendFrame's code.
    virtual void FrameSent(const uint8_t* frame, size_t length, unsigned result) = 0;
    // reply: the delivered frame (delimiter to last data byte); on a checksum mismatch
    // (result 2) the frame as read, its checksum byte included, so that the bad frame can be
    // shown; length 0 on any other failure.
    virtual void FrameReceived(const uint8_t* reply, size_t length, unsigned result) = 0;
    // A command (identity poll, long or short command) has returned: the frames reported
    // since the last call were its attempts. answered: what the command returned.
    virtual void CommandEnded(bool answered) { (void)answered; }
};

namespace hart {
// Callers pause this long after opening the port, before their first request, to let the
// modem settle.
inline constexpr uint32_t kWaitAfterOpenMs = 1000;
}  // namespace hart

// The HART master link: opens the one serial port at the HART line settings, sends
// request frames with RTS keyed for their on-air time, hunts and reads reply frames, and
// runs the command transactions. Plain class, no virtual operations.
class CHartLink {
public:
    // The longest request the link keeps for telling its echo from a reply.
    static constexpr size_t kMaxRequestBytes = 64;

    explicit CHartLink(CSerial& port = TheSerialPort(), IClock& clock = SystemClock());

    unsigned OpenPort(uint8_t portNumber, uint32_t baudRate);
    // Closes the port; nonzero when the line settings it had before could not be put back
    // (it is closed all the same). Kept for CloseFailure() until the next open.
    SerialStatus ClosePort();
    unsigned SendFrame(const uint8_t* frame, size_t length, uint32_t waitMs);
    unsigned ReceiveFrame(bool longHeader, uint8_t* reply, uint32_t waitMs);

    // Command 0 at a polling address; records the identity of the device that answers.
    bool PollIdentity(uint8_t pollAddress, uint8_t maxAttempts);
    // A command without data to the recorded device by long address; reply: >= 90 bytes.
    bool SendCommand(uint8_t command, uint8_t* reply);
    // How many payload bytes the reply SendCommand last delivered carried; the rest of the
    // caller's buffer is zeros the device did not send.
    size_t LastPayloadLength() const { return m_nLastPayloadLength; }
    // A command with one data byte to m_nPollAddress by short frame; reply: >= 40 bytes.
    bool SendShortCommand(uint8_t command, uint8_t* reply, uint8_t dataByte);

    void SetObserver(ILinkObserver* observer) { m_pObserver = observer; }
    CSerial& Port() { return m_port; }
    IClock& Clock() { return m_clock; }

    // Why the commands stopped early. A port that stops working (hung up, unplugged, any
    // error but a time-out) ends every command at once and stays failed until the port is
    // opened again; a stop request (the port's wake-up) ends them as well. Both read as "no
    // answer" through the commands' results, so callers ask here.
    bool PortFailed() const { return m_portFailure != kSerialSuccess; }
    // The serial status behind OpenPort's last result 1 (the port would not open or would
    // not take the line settings); 0 after a successful open.
    SerialStatus OpenFailure() const { return m_openFailure; }
    SerialStatus PortFailure() const { return m_portFailure; }
    // What the last ClosePort reported, for callers that close through a workflow and warn
    // when a shared adapter could not be left as it was found; 0 until then.
    SerialStatus CloseFailure() const { return m_closeFailure; }
    bool StopRequested() const { return m_port.Wakeup().IsSignalled(); }
    // A pause of the link or a workflow that a stop request ends early (false then), cut
    // short where a time budget ends first.
    bool Pause(uint32_t ms);

    // Identity of the last device that answered an identity poll.
    uint8_t m_nManufacturer = 0;
    uint8_t m_nDeviceType = 0;
    uint8_t m_deviceId[3] = {0, 0, 0};
    uint8_t m_nUniversalRev = 0;
    uint8_t m_nPollAddress = 0;

private:
    unsigned KeyAndWrite(const uint8_t* frame, size_t length, uint32_t waitMs);
    // Drops RTS and discards what is in flight after a transmission was cut short.
    void Unkey();
    // Discards what the port holds by `discard` (AbortAndFlush after a request, Purge after
    // a reception), telling the observer how much input it held.
    void DiscardInput(SerialStatus (CSerial::*discard)());
    // Reads one frame into frame (kReplyBufferSize bytes); delivered: its length without
    // preamble and checksum, once the frame came whole (result 0, or a checksum mismatch).
    unsigned ReadFrame(bool longHeader, uint8_t* frame, size_t& delivered, uint32_t waitMs);
    // What a serial step that failed other than by a time-out means for the link: a stop
    // request (kLinkInterrupted), or a port that stopped working, which is kept.
    unsigned SerialStepFailed(SerialStatus status);
    // The commands go on only while the port works and no stop was requested.
    bool Halted() const { return PortFailed() || StopRequested(); }
    // Receives into reply (kReplyBufferSize bytes) after clearing it, so that bytes past
    // a short payload read as 0 rather than as an earlier frame's.
    unsigned ReceiveCleared(bool longHeader, uint8_t* reply);
    bool AnswerIsFromRecordedDevice(const uint8_t* reply, uint8_t command) const;
    bool PollIdentityAttempts(uint8_t pollAddress, uint8_t maxAttempts);
    bool SendCommandAttempts(uint8_t command, uint8_t* reply);
    bool SendShortCommandAttempts(uint8_t command, uint8_t* reply, uint8_t dataByte);
    // Tells the observer that a command has returned; passes its result on.
    bool CommandEnded(bool answered);
    void RecordIdentity(const uint8_t* payload);

    CSerial& m_port;
    IClock& m_clock;
    ILinkObserver* m_pObserver = nullptr;
    SerialStatus m_portFailure = kSerialSuccess;
    SerialStatus m_openFailure = kSerialSuccess;
    SerialStatus m_closeFailure = kSerialSuccess;
    // The request last sent, so that its echo is not taken for a reply.
    std::array<uint8_t, kMaxRequestBytes> m_lastRequest{};
    size_t m_nLastRequestLength = 0;
    size_t m_nLastPayloadLength = 0;
    // Where the innermost time budget ends (tick count), if one runs (LinkBudget): receptions
    // stop there and pauses end by then.
    std::optional<uint32_t> m_callEndMs;

    friend class LinkBudget;
};
