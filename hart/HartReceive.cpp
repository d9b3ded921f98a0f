// Reception of one reply frame: preamble hunt, header, data and checksum, each read bounded
// by its wait and by the end of the reception, and the echo of the request left out.
#include <cstring>

#include "hart/HartLink.h"
#include "hart/LinkBounds.h"

namespace {

using hart::kReplyBufferSize;

constexpr int kHeaderReads = 4;  // reads of a header before giving up

// The reads of one reception. Bytes that an echo check took and found to be no echo are
// read again first; then the port, each read waiting its own wait but never past the end.
class FrameReader {
public:
    FrameReader(CSerial& port, IClock& clock, uint32_t endMs, ILinkObserver* observer)
        : m_port(port), m_clock(clock), m_endMs(endMs), m_pObserver(observer) {}

    // kSerialSuccess with all count bytes, kSerialTimeout (what came of them is discarded,
    // as the port discards a timed-out read), or the port's error.
    SerialStatus Read(uint8_t* out, size_t count, uint32_t waitMs, uint32_t untilMs) {
        size_t taken = 0;
        for (; taken < count && m_backCount > 0; ++taken) {
            out[taken] = m_back[m_backStart++];
            --m_backCount;
        }
        if (taken == count) return kSerialSuccess;
        const uint32_t left = MsUntil(m_clock, untilMs);
        const uint32_t wait = waitMs < left ? waitMs : left;
        size_t got = 0;
        const SerialStatus status = m_port.Read(out + taken, count - taken, &got, wait);
        // A read cut short still brought its bytes onto the wire's record.
        const size_t arrived = status == kSerialSuccess ? got : m_port.LastReadArrived();
        m_portBytes += arrived;
        if (m_pObserver && arrived > 0)
            m_pObserver->BytesRead(out + taken, arrived, m_port.LastReadErrorsAt());
        if (status == kSerialSuccess && got != count - taken) return kSerialTimeout;
        return status;
    }
    SerialStatus Read(uint8_t* out, size_t count, uint32_t waitMs) {
        return Read(out, count, waitMs, m_endMs);
    }
    // Puts bytes back in front of what is still to be read (they were read last).
    void PutBack(const uint8_t* bytes, size_t count) {
        std::memmove(m_back + count, m_back + m_backStart, m_backCount);
        std::memcpy(m_back, bytes, count);
        m_backStart = 0;
        m_backCount += count;
    }
    bool Ended() const { return MsUntil(m_clock, m_endMs) == 0; }
    IClock& Clock() { return m_clock; }
    // Where in the reception's bytes the next one handed out stands.
    size_t Position() const { return m_portBytes - m_backCount; }
    ILinkObserver* Observer() const { return m_pObserver; }

private:
    CSerial& m_port;
    IClock& m_clock;
    uint32_t m_endMs;
    ILinkObserver* m_pObserver;
    size_t m_portBytes = 0;  // read from the port in this reception
    uint8_t m_back[128] = {};
    size_t m_backStart = 0;
    size_t m_backCount = 0;
};

unsigned ResultOfFailure(SerialStatus status) {
    return status == kSerialInterrupted ? kLinkInterrupted : kLinkPortError;
}

// A modem may hand back the request it sent; its tail can come after the purge that was
// meant to remove it (a UART's FIFO, a USB adapter's latency timer). A would-be delimiter
// that follows a preamble byte is checked against the request: when it and the bytes after
// it repeat the request to its end, they are its echo.
class EchoCheck {
public:
    EchoCheck(const uint8_t* request, size_t length) : m_request(request), m_length(length) {}

    // kLinkOk with echo set when they were the echo (and are gone); kLinkOk with echo
    // clear when they are not (the bytes read to tell are put back); else the port's
    // failure.
    unsigned Check(FrameReader& in, uint8_t candidate, uint32_t waitMs, bool& echo) const {
        echo = false;
        for (size_t at = 1; at < m_length; ++at) {
            if (m_request[at] != candidate || m_request[at - 1] != hart::kPreambleByte) continue;
            uint8_t seen[CHartLink::kMaxRequestBytes];
            const size_t rest = m_length - at - 1;
            size_t read = 0;
            bool same = true;
            while (same && read < rest) {
                const SerialStatus status = in.Read(&seen[read], 1, waitMs);
                if (status == kSerialTimeout) {
                    same = false;
                    break;
                }
                if (status != kSerialSuccess) return ResultOfFailure(status);
                same = seen[read] == m_request[at + 1 + read];
                ++read;
            }
            if (same) {
                echo = true;
                if (ILinkObserver* observer = in.Observer())
                    observer->EchoDropped(in.Position() - read - 1, read + 1);
                return kLinkOk;
            }
            in.PutBack(seen, read);
        }
        return kLinkOk;
    }

private:
    const uint8_t* m_request;
    size_t m_length;
};

// Hunts the first byte after at least one preamble byte into frame[0]. The hunt ends at its
// third read that times out, and in any case once its waits are spent, so that a line
// trickling preamble bytes cannot hold it.
unsigned HuntDelimiter(FrameReader& in, const EchoCheck& echo, uint8_t* frame, uint32_t waitMs) {
    const uint32_t huntEndMs = in.Clock().TickCount() + hart::kPreambleReadWaits * waitMs;
    uint32_t timeouts = 0;
    bool preambleSeen = false;
    for (;;) {
        const SerialStatus status = in.Read(frame, 1, waitMs, huntEndMs);
        if (status == kSerialTimeout) {
            if (++timeouts == hart::kPreambleReadWaits) return kLinkNoReply;
        } else if (status != kSerialSuccess) {
            return ResultOfFailure(status);
        } else if (frame[0] == hart::kPreambleByte) {
            preambleSeen = true;
        } else if (preambleSeen) {
            bool wasEcho = false;
            if (const unsigned failed = echo.Check(in, frame[0], waitMs, wasEcho)) return failed;
            if (!wasEcho) {
                if (ILinkObserver* observer = in.Observer())
                    observer->DelimiterFound(in.Position() - 1);
                return kLinkOk;
            }
            preambleSeen = false;
        }
        if (MsUntil(in.Clock(), huntEndMs) == 0) return kLinkNoReply;
    }
}

// Reads count bytes into place, re-reading the whole piece on a time-out or a short read.
unsigned ReadHeaderPiece(FrameReader& in, uint8_t* place, size_t count, uint32_t waitMs) {
    for (int failures = 0; failures < kHeaderReads && !in.Ended(); ++failures) {
        const SerialStatus status = in.Read(place, count, waitMs);
        if (status == kSerialSuccess) return kLinkOk;
        if (status != kSerialTimeout) return ResultOfFailure(status);
    }
    return kLinkNoReply;
}

// The header a frame carries: a burst frame or another master's request is read with the
// address its delimiter announces, so that its checksum verifies and it is recognised;
// anything else with the header the caller expects.
size_t HeaderBytes(uint8_t delimiter, bool longHeader) {
    switch (delimiter) {
        case hart::kDelimBurstShort:
            return hart::kShortHeaderBytes;
        case hart::kDelimBurstLong:
        case hart::kDelimMasterLong:
            return hart::kLongHeaderBytes;
        default:
            return longHeader ? hart::kLongHeaderBytes : hart::kShortHeaderBytes;
    }
}

// Some devices send manufacturer 0x28 and type 0x61 for what is recorded as 0x2C, 0x0A.
// The rewrite is kept exactly as it has always been, though it shifts three address bytes
// over the command and the byte count (the old byte count is lost and the command is read
// as the count): callers and stored results depend on what it delivers, and such devices
// answer with replies it reads whole. The capture shows the bytes as they came.
void RewriteKnownAddressAlias(uint8_t* frame) {
    if (frame[1] != 0x28 || frame[2] != 0x61) return;
    frame[7] = frame[6];
    frame[6] = frame[5];
    frame[5] = frame[4];
    frame[1] = 0x2C;
    frame[2] = 0x0A;
}

}  // namespace

unsigned CHartLink::ReceiveFrame(bool longHeader, uint8_t* reply, uint32_t waitMs) {
    if (!reply) return kLinkNoBuffer;
    uint8_t frame[kReplyBufferSize] = {};
    size_t delivered = 0;
    unsigned result = ReadFrame(longHeader, frame, delivered, waitMs);
    if (result == kLinkPortError) result = SerialStepFailed(m_port.LastError());
    if (result == kLinkOk) std::memcpy(reply, frame, delivered);
    DiscardInput(&CSerial::Purge);
    if (m_pObserver) {
        // A frame whose checksum failed came whole: it is shown with its checksum byte.
        const size_t seen = result == kLinkOk                 ? delivered
                            : result == kLinkChecksumMismatch ? delivered + 1
                                                              : 0;
        m_pObserver->FrameReceived(frame, seen, result);
    }
    return result;
}

unsigned CHartLink::ReadFrame(bool longHeader, uint8_t* frame, size_t& delivered, uint32_t waitMs) {
    uint32_t endMs = m_clock.TickCount() + hart::ReceptionBoundMs(waitMs);
    if (m_callEndMs && static_cast<int32_t>(*m_callEndMs - endMs) < 0) endMs = *m_callEndMs;
    FrameReader in(m_port, m_clock, endMs, m_pObserver);
    const EchoCheck echo(m_lastRequest.data(), m_nLastRequestLength);

    unsigned result = HuntDelimiter(in, echo, frame, waitMs);
    if (result != kLinkOk) return result;

    const size_t headerBytes = HeaderBytes(frame[0], longHeader);
    if ((result = ReadHeaderPiece(in, frame + 1, headerBytes, waitMs)) != kLinkOk) return result;
    // The checksum covers the bytes as they came, before any rewrite.
    uint8_t sum = hart::Checksum(frame, 1 + headerBytes);
    RewriteKnownAddressAlias(frame);

    const size_t byteCountPos = headerBytes;
    const size_t dataBytes = frame[byteCountPos];
    uint8_t* data = frame + byteCountPos + 1;
    const SerialStatus status = in.Read(data, dataBytes + 1, waitMs);
    if (status == kSerialTimeout) return kLinkDataIncomplete;
    if (status != kSerialSuccess) return ResultOfFailure(status);
    sum ^= hart::Checksum(data, dataBytes);
    delivered = byteCountPos + 1 + dataBytes;
    return sum == data[dataBytes] ? kLinkOk : kLinkChecksumMismatch;
}
