// The command transactions: identity poll, long-address command, short-address command.
#include <algorithm>
#include <cstring>

#include "hart/HartLink.h"
#include "hart/LinkBounds.h"
#include "hart/LinkBudget.h"

namespace {

using namespace hart;

constexpr uint32_t kTransferWaitMs = 500;
constexpr uint32_t kPauseAfterFailedSendMs = 1000;
constexpr uint32_t kPauseBeforeLastAttemptsMs = 1000;
constexpr uint32_t kPauseAfterBusyMs = 500;
constexpr uint32_t kPauseAfterForeignFrameMs = 1000;

// Once another station is heard, the line is shared and replies get lost more often.
constexpr unsigned kPollLimitOnSharedLine = 10;
constexpr unsigned kLongBaseAttempts = 3;
constexpr unsigned kLongExtraAtFirst = 1;
constexpr unsigned kLongExtraOnSharedLine = 15;
constexpr unsigned kShortBaseAttempts = 3;
constexpr unsigned kShortExtraOnSharedLine = 10;
constexpr unsigned kLongPauseAtAttempt = 3;

// Repetitions that the protocol leaves uncounted (stray frames, busy answers) are free
// only this often in one call, so that a line that keeps sending them cannot hold the
// program for ever.
constexpr unsigned kFreeRepetitions = 10;

constexpr uint8_t kResponseBusy = 32;
constexpr uint8_t kResponseDelayedInitiated = 33;
constexpr uint8_t kResponseDelayedRunning = 34;

constexpr size_t kLongReplyCopy = 90;
constexpr size_t kShortReplyCopy = 40;
// A reply's byte count covers the response code and device status before the payload.
constexpr size_t kStatusBytes = 2;

// Identity reply of command 0.
constexpr uint8_t kExpandedIdentityMark = 254;
// The older identity layout carries no manufacturer. Such devices are recorded as
// manufacturer 38 because the long addresses of every later frame to them were always
// built with it, and the devices answer to those addresses; another value would cut them
// off. Deliberate, not a lookup that was never written.
constexpr uint8_t kLegacyManufacturer = 38;

// The attempts one call has used. Repetitions that the protocol leaves uncounted are
// free only kFreeRepetitions times; after that each uses an attempt.
class AttemptCount {
public:
    void Use() { ++m_used; }
    void Repeat() {
        if (++m_repetitions > kFreeRepetitions) ++m_used;
    }
    unsigned Used() const { return m_used; }

private:
    unsigned m_used = 0;
    unsigned m_repetitions = 0;
};

bool IsBurst(uint8_t delimiter) {
    return delimiter == kDelimBurstShort || delimiter == kDelimBurstLong;
}
bool IsForeignFrame(uint8_t delimiter) {
    return IsBurst(delimiter) || delimiter == kDelimMasterLong;
}
bool IsBusyOrDelayed(uint8_t responseCode) {
    return responseCode == kResponseBusy || responseCode == kResponseDelayedInitiated ||
           responseCode == kResponseDelayedRunning;
}

// Devices that report 0x28 0x61 0x50 in the identity are recorded with the identity their
// later frames are addressed by: three bytes become 0x2C 0x0A 0x08 0x05, the rest moves up.
void RewriteIdentityAlias(uint8_t* payload) {
    if (payload[1] != 0x28 || payload[2] != 0x61 || payload[3] != 0x50) return;
    std::memmove(payload + 5, payload + 4, 9);
    payload[1] = 0x2C;
    payload[2] = 0x0A;
    payload[3] = 0x08;
    payload[4] = 0x05;
}

}  // namespace

unsigned CHartLink::ReceiveCleared(bool longHeader, uint8_t* reply) {
    std::memset(reply, 0, kReplyBufferSize);
    return ReceiveFrame(longHeader, reply, kTransferWaitMs);
}

void CHartLink::RecordIdentity(const uint8_t* payload) {
    if (payload[0] == kExpandedIdentityMark) {
        m_nManufacturer = payload[1];
        m_nDeviceType = payload[2];
        m_nUniversalRev = payload[4];
        std::memcpy(m_deviceId, payload + 9, sizeof m_deviceId);
    } else {
        m_nManufacturer = kLegacyManufacturer;
        m_nDeviceType = payload[0];
        m_nUniversalRev = payload[2];
        std::memcpy(m_deviceId, payload + 7, sizeof m_deviceId);
    }
}

bool CHartLink::CommandEnded(bool answered) {
    if (m_pObserver) m_pObserver->CommandEnded(answered);
    return answered;
}

bool CHartLink::PollIdentity(uint8_t pollAddress, uint8_t maxAttempts) {
    return CommandEnded(PollIdentityAttempts(pollAddress, maxAttempts));
}

bool CHartLink::SendCommand(uint8_t command, uint8_t* reply) {
    return CommandEnded(SendCommandAttempts(command, reply));
}

bool CHartLink::SendShortCommand(uint8_t command, uint8_t* reply, uint8_t dataByte) {
    return CommandEnded(SendShortCommandAttempts(command, reply, dataByte));
}

bool CHartLink::PollIdentityAttempts(uint8_t pollAddress, uint8_t maxAttempts) {
    m_nPollAddress = pollAddress;
    // A port that has stopped working, or a stop request, sends nothing more.
    if (maxAttempts == 0 || Halted()) return false;

    const uint8_t body[] = {kDelimMasterShort, pollAddress, 0, 0};
    uint8_t request[kIdentityPollPreambles + sizeof body + 1];
    const size_t length = AssembleFrame(request, kIdentityPollPreambles, body, sizeof body);

    uint8_t reply[kReplyBufferSize];
    AttemptCount attempts;
    unsigned limit = maxAttempts;
    const LinkBudget budget(*this, maxAttempts * kIdentityPollMsPerAttempt);
    // An enclosing budget may have been spent already: then nothing is sent.
    if (budget.Spent()) return false;
    do {
        SendFrame(request, length, kTransferWaitMs);
        if (Halted()) return false;
        if (ReceiveCleared(false, reply) != kLinkOk) {
            attempts.Use();
            continue;
        }
        uint8_t* payload = reply + kShortPayloadPos;
        RewriteIdentityAlias(payload);
        if (IsForeignFrame(reply[0])) {
            limit = kPollLimitOnSharedLine;
            attempts.Use();
        } else if (reply[0] == kDelimSlaveShort) {
            RecordIdentity(payload);
            return true;
        } else {
            attempts.Repeat();
        }
    } while (attempts.Used() < limit && !Halted() && !budget.Spent());
    return false;
}

bool CHartLink::AnswerIsFromRecordedDevice(const uint8_t* reply, uint8_t command) const {
    return (reply[1] & kAddressBits) == (m_nManufacturer & kAddressBits) &&
           reply[2] == m_nDeviceType && std::memcmp(reply + 3, m_deviceId, 3) == 0 &&
           reply[kLongCommandPos] == command;
}

bool CHartLink::SendCommandAttempts(uint8_t command, uint8_t* reply) {
    const uint8_t addressByte1 = m_nManufacturer & kAddressBits;
    const uint8_t body[] = {kDelimMasterLong, addressByte1,  m_nDeviceType, m_deviceId[0],
                            m_deviceId[1],    m_deviceId[2], command,       0};
    uint8_t request[kRequestPreambles + sizeof body + 1];
    const size_t length = AssembleFrame(request, kRequestPreambles, body, sizeof body);

    uint8_t answer[kReplyBufferSize];
    AttemptCount attempts;
    unsigned extra = kLongExtraAtFirst;
    m_nLastPayloadLength = 0;
    LinkBudget budget(*this, (kLongBaseAttempts + extra) * kCommandMsPerAttempt);
    if (Halted() || budget.Spent()) return false;
    do {
        if (SendFrame(request, length, kTransferWaitMs) != kLinkOk) {
            if (Halted()) return false;
            Pause(kPauseAfterFailedSendMs);
        }
        if (attempts.Used() == kLongPauseAtAttempt) Pause(kPauseBeforeLastAttemptsMs);
        if (Halted()) return false;
        if (ReceiveCleared(true, answer) != kLinkOk) {
            attempts.Use();
        } else if (IsForeignFrame(answer[0])) {
            extra = kLongExtraOnSharedLine;
            budget.Allow((kLongBaseAttempts + extra) * kCommandMsPerAttempt);
            attempts.Use();
        } else if (IsBusyOrDelayed(answer[kLongResponseCodePos])) {
            Pause(kPauseAfterBusyMs);
            attempts.Repeat();
        } else if (!AnswerIsFromRecordedDevice(answer, command)) {
            attempts.Use();
        } else {
            std::memcpy(reply, answer + kLongPayloadPos, kLongReplyCopy);
            const size_t counted = answer[kLongByteCountPos];
            m_nLastPayloadLength =
                std::min(counted > kStatusBytes ? counted - kStatusBytes : 0, kLongReplyCopy);
            return true;
        }
    } while (attempts.Used() < extra + kLongBaseAttempts && !Halted() && !budget.Spent());
    return false;
}

bool CHartLink::SendShortCommandAttempts(uint8_t command, uint8_t* reply, uint8_t dataByte) {
    const uint8_t body[] = {kDelimMasterShort, m_nPollAddress, command, 1, dataByte};
    uint8_t request[kRequestPreambles + sizeof body + 1];
    const size_t length = AssembleFrame(request, kRequestPreambles, body, sizeof body);

    uint8_t answer[kReplyBufferSize];
    AttemptCount attempts;
    unsigned extra = 0;
    LinkBudget budget(*this, (kShortBaseAttempts + extra) * kCommandMsPerAttempt);
    if (Halted() || budget.Spent()) return false;
    do {
        SendFrame(request, length, kTransferWaitMs);
        if (Halted()) return false;
        if (ReceiveCleared(false, answer) != kLinkOk) {
            attempts.Use();
        } else if (IsForeignFrame(answer[0])) {
            extra = kShortExtraOnSharedLine;
            budget.Allow((kShortBaseAttempts + extra) * kCommandMsPerAttempt);
            attempts.Use();
            Pause(kPauseAfterForeignFrameMs);
        } else {
            // Any other delimiter is taken as the answer, unlike the identity poll's strict
            // check: the tag read has always accepted a sound frame whatever its delimiter,
            // so a device that marks its answer oddly still gives its tag. The checksum has
            // vouched for the bytes.
            std::memcpy(reply, answer + kShortPayloadPos, kShortReplyCopy);
            return true;
        }
    } while (attempts.Used() < extra + kShortBaseAttempts && !Halted() && !budget.Spent());
    return false;
}
