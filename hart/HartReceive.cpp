// Reception of one reply frame: preamble hunt, header, data and checksum.
#include <cstring>

#include "hart/HartLink.h"

namespace {

using hart::kReplyBufferSize;

constexpr int kPreambleTimeouts = 3;  // read waits of the hunt before giving up
constexpr int kHeaderReads = 4;       // reads of a header before giving up
constexpr size_t kBurstExtraHeaderBytes = 4;
// A short-mode reception widened for a burst frame has the long layout.
constexpr size_t kBurstByteCountPos = hart::kLongByteCountPos;
// A line that carries only preamble or junk bytes (a babbling device, a floating input)
// must not hold the hunt for ever: after this many bytes without a delimiter, no reply.
constexpr size_t kHuntByteLimit = kReplyBufferSize;

bool IsBurstDelimiter(uint8_t delimiter) {
    return delimiter == hart::kDelimBurstShort || delimiter == hart::kDelimBurstLong;
}

// Reads count bytes into place, re-reading the whole piece on a time-out or a short read.
unsigned ReadHeaderPiece(CSerial& port, uint8_t* place, size_t count, uint32_t waitMs) {
    for (int failures = 0; failures < kHeaderReads; ++failures) {
        size_t got = 0;
        const SerialStatus status = port.Read(place, count, &got, waitMs);
        if (status != kSerialSuccess && status != kSerialTimeout) return kLinkPortError;
        if (status == kSerialSuccess && got == count) return kLinkOk;
    }
    return kLinkNoReply;
}

// Hunts the first byte after at least one preamble byte into frame[0].
unsigned HuntDelimiter(CSerial& port, uint8_t* frame, uint32_t waitMs) {
    int timeouts = 0;
    bool preambleSeen = false;
    for (size_t huntedBytes = 0; huntedBytes < kHuntByteLimit;) {
        size_t got = 0;
        const SerialStatus status = port.Read(frame, 1, &got, waitMs);
        if (status != kSerialSuccess && status != kSerialTimeout) return kLinkPortError;
        if (status == kSerialTimeout || got == 0) {
            if (++timeouts == kPreambleTimeouts) return kLinkNoReply;
            continue;
        }
        ++huntedBytes;
        if (frame[0] == hart::kPreambleByte)
            preambleSeen = true;
        else if (preambleSeen)
            return kLinkOk;
    }
    return kLinkNoReply;
}

// Some devices send manufacturer 0x28 and type 0x61 for what is recorded as 0x2C, 0x0A.
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
    const unsigned result = ReadFrame(longHeader, frame, delivered, waitMs);
    if (result == kLinkOk) std::memcpy(reply, frame, delivered);
    m_port.Purge();
    if (m_pObserver) m_pObserver->FrameReceived(frame, result == kLinkOk ? delivered : 0, result);
    return result;
}

unsigned CHartLink::ReadFrame(bool longHeader, uint8_t* frame, size_t& delivered, uint32_t waitMs) {
    unsigned result = HuntDelimiter(m_port, frame, waitMs);
    if (result != kLinkOk) return result;

    const size_t headerBytes = longHeader ? hart::kLongHeaderBytes : hart::kShortHeaderBytes;
    if ((result = ReadHeaderPiece(m_port, frame + 1, headerBytes, waitMs)) != kLinkOk)
        return result;
    // The checksum covers the bytes as they came, before any rewrite.
    uint8_t sum = hart::Checksum(frame, 1 + headerBytes);
    RewriteKnownAddressAlias(frame);

    size_t byteCountPos = longHeader ? hart::kLongByteCountPos : hart::kShortByteCountPos;
    if (!longHeader && IsBurstDelimiter(frame[0])) {
        // A burst frame always carries a long address, whatever the caller expected.
        uint8_t* extra = frame + 1 + headerBytes;
        if ((result = ReadHeaderPiece(m_port, extra, kBurstExtraHeaderBytes, waitMs)) != kLinkOk)
            return result;
        sum ^= hart::Checksum(extra, kBurstExtraHeaderBytes);
        byteCountPos = kBurstByteCountPos;
    }

    const size_t dataBytes = frame[byteCountPos];
    uint8_t* data = frame + byteCountPos + 1;
    size_t got = 0;
    const SerialStatus status = m_port.Read(data, dataBytes + 1, &got, waitMs);
    if (status != kSerialSuccess && status != kSerialTimeout) return kLinkPortError;
    if (status == kSerialTimeout || got != dataBytes + 1) return kLinkDataIncomplete;
    sum ^= hart::Checksum(data, dataBytes);
    if (sum != data[dataBytes]) return kLinkChecksumMismatch;

    delivered = byteCountPos + 1 + dataBytes;
    return kLinkOk;
}
