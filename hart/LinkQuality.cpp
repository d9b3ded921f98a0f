#include "hart/LinkQuality.h"

#include <algorithm>

#include "hart/HartFrame.h"
#include "hart/LinkResultName.h"

void CLinkQuality::Timing::Add(uint32_t ms) {
    minMs = count == 0 ? ms : std::min(minMs, ms);
    maxMs = count == 0 ? ms : std::max(maxMs, ms);
    sumMs += ms;
    ++count;
}

void CLinkQuality::Timing::Add(const Timing& other) {
    if (other.count == 0) return;
    minMs = count == 0 ? other.minMs : std::min(minMs, other.minMs);
    maxMs = count == 0 ? other.maxMs : std::max(maxMs, other.maxMs);
    sumMs += other.sumMs;
    count += other.count;
}

void CLinkQuality::CloseAttempt() {
    if (!m_bAttemptOpen) return;
    m_bAttemptOpen = false;
    if (m_attemptResult == kLinkInterrupted) m_bInterrupted = true;
    if (m_attemptResult != kLinkOk) ++m_commandErrors[m_attemptResult];
}

void CLinkQuality::FrameSent(const uint8_t*, size_t, unsigned result) {
    CloseAttempt();
    ++m_attempts;
    m_bAttemptOpen = true;
    m_attemptResult = result;
    m_sentMs = m_clock.TickCount();
}

void CLinkQuality::FrameReceived(const uint8_t*, size_t, unsigned result) {
    // A reception without a request of this tally's to answer says nothing about replies.
    if (!m_bAttemptOpen) return;
    if (m_attemptResult == kLinkOk) {
        m_attemptResult = result;
        // The counter wraps; only the difference means anything.
        if (result == kLinkOk) m_commandReplies.Add(m_clock.TickCount() - m_sentMs);
    }
    CloseAttempt();
}

void CLinkQuality::CommandEnded(bool answered) {
    CloseAttempt();
    if (m_attempts > 0 && !m_bInterrupted) {
        ++m_exchanges;
        if (answered) ++m_answered;
        if (m_attempts > 1) ++m_retried;
        for (const auto& [result, count] : m_commandErrors) m_errors[result] += count;
        m_replies.Add(m_commandReplies);
    }
    m_attempts = 0;
    m_bInterrupted = false;
    m_commandErrors.clear();
    m_commandReplies = {};
}

std::optional<CLinkQuality::ReplyTimes> CLinkQuality::Replies() const {
    if (m_replies.count == 0) return std::nullopt;
    const auto mean =
        static_cast<uint32_t>((m_replies.sumMs + m_replies.count / 2) / m_replies.count);
    return ReplyTimes{m_replies.minMs, mean, m_replies.maxMs};
}

std::string LinkQualityLine(const CLinkQuality& quality) {
    const uint64_t exchanges = quality.Exchanges();
    std::string line = "Link: " + std::to_string(exchanges) +
                       (exchanges == 1 ? " exchange, " : " exchanges, ") +
                       std::to_string(quality.Answered()) + " answered, " +
                       std::to_string(quality.Retried()) + " retried, errors: ";
    if (quality.Errors().empty()) line += "none";
    const char* separator = "";
    for (const auto& [result, count] : quality.Errors()) {
        line += separator + std::to_string(count) + ' ' + LinkResultName(result);
        separator = ", ";
    }
    if (const auto replies = quality.Replies()) {
        line += "; reply complete " + std::to_string(replies->minMs) + '/' +
                std::to_string(replies->meanMs) + '/' + std::to_string(replies->maxMs) +
                " ms after the request ended (min/mean/max)";
    }
    return line;
}
