#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "traffic/TrafficFrame.h"
#include "traffic/WireText.h"

// How good the link was over a run, counted from the wire records: each request sent and
// the reception after it are one exchange. Records come on the link's thread; any other
// thread may take a snapshot meanwhile.
namespace traffic {

class CLinkQuality {
public:
    struct AnswerTimes {
        // From the end of the request to the first byte of the reply, rounded to the
        // nearest millisecond. Percentiles by nearest rank: the smallest time that at least
        // half (95 %) of the answers took no longer than.
        uint32_t medianMs = 0;
        uint32_t p95Ms = 0;
        uint32_t maxMs = 0;
    };

    // exchanges = answered + noReply + incomplete + badChecksum; retried and busy are
    // answered exchanges, lineErrors any of them.
    struct Figures {
        uint64_t exchanges = 0;
        uint64_t answered = 0;  // a whole, sound frame came back
        uint64_t retried = 0;   // answered, and the request repeated an earlier one
        uint64_t noReply = 0;
        uint64_t incomplete = 0;  // cut short: data incomplete, or the port failed on it
        uint64_t badChecksum = 0;
        uint64_t lineErrors = 0;  // a byte of the reception had a parity or framing error
        uint64_t busy = 0;        // the device answered "busy" (32)
        std::optional<AnswerTimes> answerTimes;  // none when no answer was timed
    };

    // One record of the run, in the order the link made them.
    void Add(const TrafficFrame& frame);
    Figures Snapshot() const;
    // Starts a new run.
    void Reset();

private:
    mutable std::mutex m_mutex;
    Figures m_figures;
    // The request the next reception answers, if one is open.
    bool m_bRequestOpen = false;
    std::vector<uint32_t> m_answerUs;
};

// For people, on one line; format strings pass through translate:
//   "Link: 40 exchanges, 30 answered (2 after a retry), 10 no reply, 4 bad checksum,
//    0 incomplete, 0 with line errors, 0 busy; answer 182/190/260 ms (median/95%/max)"
// without the answer part when no answer was timed.
std::string LinkQualityText(const CLinkQuality::Figures& figures, const Translate& translate = {});

}  // namespace traffic
