#include "traffic/LinkQuality.h"

#include <algorithm>
#include <cstdio>

#include "hart/HartFrame.h"
#include "hart/LinkResult.h"
#include "traffic/Reception.h"

namespace traffic {

namespace {

uint32_t RoundedMs(uint32_t us) { return (us + 500) / 1000; }

// Nearest rank of sorted, which is not empty.
uint32_t Percentile(const std::vector<uint32_t>& sorted, size_t percent) {
    const size_t rank = std::max<size_t>(1, (percent * sorted.size() + 99) / 100);
    return sorted[rank - 1];
}

std::string Formatted(const Translate& translate, const char* english,
                      std::initializer_list<unsigned long long> values) {
    const std::string format = translate ? translate(english) : std::string(english);
    // Every format here takes at most eight numbers.
    unsigned long long v[8] = {};
    std::copy_n(values.begin(), std::min<size_t>(values.size(), 8), v);
    char text[512];
    std::snprintf(text, sizeof text, format.c_str(), v[0], v[1], v[2], v[3], v[4], v[5], v[6],
                  v[7]);
    return text;
}

}  // namespace

void CLinkQuality::Add(const TrafficFrame& frame) {
    const std::lock_guard<std::mutex> lock(m_mutex);
    if (frame.direction == Direction::Sent) {
        // A request nothing was received after (the run stopped, the port failed) is left
        // out: it says nothing about the line.
        m_bRequestOpen = true;
        return;
    }
    // A reception no request of this run went before answers nothing.
    if (!m_bRequestOpen || frame.attempt == 0) return;
    m_bRequestOpen = false;
    // The user's stop, not the line, ended it.
    if (frame.linkResult == kLinkInterrupted) return;

    Figures& f = m_figures;
    ++f.exchanges;
    const DecodedFrame decoded = DecodeTraffic(frame);
    switch (frame.linkResult) {
        case kLinkOk:
            ++f.answered;
            if (frame.attempt > 1) ++f.retried;
            if (decoded.kind == FrameKind::Answer && decoded.responseCode == kResponseBusy)
                ++f.busy;
            break;
        case kLinkNoReply:
            ++f.noReply;
            break;
        case kLinkChecksumMismatch:
            ++f.badChecksum;
            break;
        default:
            // Data incomplete, or a port that failed in the middle of the reception.
            ++f.incomplete;
            break;
    }
    if (!frame.lineErrorsAt.empty()) ++f.lineErrors;

    // Only a device's answer times the device; a burst or another master's frame does not.
    const std::optional<int64_t> replyStartUs = SplitReception(frame).replyStartUs;
    if (decoded.kind == FrameKind::Answer && replyStartUs && frame.requestEndUs != 0) {
        const int64_t us = std::clamp<int64_t>(*replyStartUs - frame.requestEndUs, 0, UINT32_MAX);
        m_answerUs.push_back(static_cast<uint32_t>(us));
    }
}

void CLinkQuality::Reset() {
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_figures = {};
    m_bRequestOpen = false;
    m_answerUs.clear();
}

CLinkQuality::Figures CLinkQuality::Snapshot() const {
    std::vector<uint32_t> sorted;
    Figures figures;
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        figures = m_figures;
        sorted = m_answerUs;
    }
    if (!sorted.empty()) {
        std::sort(sorted.begin(), sorted.end());
        figures.answerTimes =
            AnswerTimes{RoundedMs(Percentile(sorted, 50)), RoundedMs(Percentile(sorted, 95)),
                        RoundedMs(sorted.back())};
    }
    return figures;
}

std::string LinkQualityText(const CLinkQuality::Figures& f, const Translate& translate) {
    const char* counts =
        f.exchanges == 1
            ? "Link: %llu exchange, %llu answered (%llu after a retry), %llu no reply, %llu bad "
              "checksum, %llu incomplete, %llu with line errors, %llu busy"
            : "Link: %llu exchanges, %llu answered (%llu after a retry), %llu no reply, %llu bad "
              "checksum, %llu incomplete, %llu with line errors, %llu busy";
    std::string text = Formatted(translate, counts,
                                 {f.exchanges, f.answered, f.retried, f.noReply, f.badChecksum,
                                  f.incomplete, f.lineErrors, f.busy});
    if (f.answerTimes) {
        text += Formatted(translate, "; answer %llu/%llu/%llu ms (median/95%%/max)",
                          {f.answerTimes->medianMs, f.answerTimes->p95Ms, f.answerTimes->maxMs});
    }
    return text;
}

}  // namespace traffic
