#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "hart/Clock.h"
#include "hart/HartLink.h"

// How good the link was over a run, from what the link reports: its commands (identity
// polls, long and short commands) as exchanges, their attempts, the failures of the
// attempts, and how long the device took.
//
// An exchange is one command; it was answered when the command returned true and retried
// when it sent its request more than once. Each attempt that failed counts once under its
// link result. The reply time runs from the end of the request (the transmitter released)
// to the end of the reply (the last byte read), for each attempt whose reply came whole
// and sound. A command cut short by a stop request is left out altogether: the run's end,
// not the link, ended it.
class CLinkQuality final : public ILinkObserver {
public:
    struct ReplyTimes {
        uint32_t minMs = 0;
        uint32_t meanMs = 0;  // rounded to the nearest millisecond
        uint32_t maxMs = 0;
    };

    explicit CLinkQuality(IClock& clock) : m_clock(clock) {}

    void FrameSent(const uint8_t* frame, size_t length, unsigned result) override;
    void FrameReceived(const uint8_t* reply, size_t length, unsigned result) override;
    void CommandEnded(bool answered) override;

    uint64_t Exchanges() const { return m_exchanges; }
    uint64_t Answered() const { return m_answered; }
    uint64_t Retried() const { return m_retried; }
    // Failed attempts by link result code, lowest code first.
    const std::map<unsigned, uint64_t>& Errors() const { return m_errors; }
    // Nothing when no reply was timed.
    std::optional<ReplyTimes> Replies() const;

private:
    struct Timing {
        uint64_t count = 0;
        uint64_t sumMs = 0;
        uint32_t minMs = 0;
        uint32_t maxMs = 0;
        void Add(uint32_t ms);
        void Add(const Timing& other);
    };

    // Counts the open attempt, if any, into the command under way.
    void CloseAttempt();

    IClock& m_clock;
    uint64_t m_exchanges = 0;
    uint64_t m_answered = 0;
    uint64_t m_retried = 0;
    std::map<unsigned, uint64_t> m_errors;
    Timing m_replies;

    // The command under way.
    unsigned m_attempts = 0;
    bool m_bInterrupted = false;
    std::map<unsigned, uint64_t> m_commandErrors;
    Timing m_commandReplies;
    // Its open attempt: sent, its reception not yet reported.
    bool m_bAttemptOpen = false;
    unsigned m_attemptResult = 0;
    uint32_t m_sentMs = 0;
};

// For people:
//   "Link: 20 exchanges, 19 answered, 2 retried, errors: 1 no reply, 1 checksum mismatch;
//    reply complete 180/190/260 ms after the request ended (min/mean/max)"
// on one line; "errors: none" without failures, and no reply part when no reply was timed.
std::string LinkQualityLine(const CLinkQuality& quality);
