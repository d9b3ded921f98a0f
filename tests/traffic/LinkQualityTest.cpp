// The link-quality tally over records made by hand, as the wire tap would make them.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "TrafficFrames.h"
#include "hart/LinkResult.h"
#include "traffic/LinkQuality.h"

namespace traffictest {
namespace {

using traffic::CLinkQuality;

struct Exchange {
    unsigned attempt;
    unsigned result;   // the reception's link result
    Bytes reply;       // after a noise byte and two preamble bytes; none: only the noise
    int64_t answerMs;  // when the reply's first byte came after the request
    bool lineError = false;
};

Bytes Answer(uint8_t responseCode) {
    return WithChecksum(Body(0x06, {0x00}, 0, {responseCode, 0x00}));
}

void Feed(CLinkQuality& quality, const Exchange& e, int64_t& nowUs) {
    traffic::TrafficFrame sent = SentRecord(nowUs, IdentityPoll(), kLinkOk);
    sent.attempt = e.attempt;
    quality.Add(sent);
    const bool framed = !e.reply.empty();
    traffic::TrafficFrame received = ReceivedRecord(
        nowUs + 500'000, Concat({{0x3C}, framed ? Bytes{0xFF, 0xFF} : Bytes{}, e.reply}), e.result,
        framed ? std::optional<uint32_t>(3) : std::nullopt);
    received.attempt = e.attempt;
    received.requestEndUs = nowUs;
    received.reads = {{0, nowUs + 1000}, {1, nowUs + e.answerMs * 1000}};
    if (e.lineError) received.lineErrorsAt = {0};
    quality.Add(received);
    nowUs += 1'000'000;
}

TEST(LinkQuality, CountsEachRequestAndWhatCameBackAndTimesTheDevicesAnswers) {
    const Bytes good = Answer(0);
    const Exchange table[] = {
        {1, kLinkOk, good, 300},
        {2, kLinkOk, good, 310},         // answered after a retry
        {1, kLinkOk, Answer(32), 320},   // busy, and answered
        {1, kLinkOk, Answer(33), 330},   // answered, not busy
        {1, kLinkNoReply, {}, 0, true},  // a line error in the noise
        {1, kLinkChecksumMismatch, Concat({Bytes(good.begin(), good.end() - 1), {0}}), 340},
        {1, kLinkDataIncomplete, Bytes(good.begin(), good.begin() + 5), 350},
        {2, kLinkPortError, {}, 0},                                          // cut short too
        {1, kLinkInterrupted, Bytes(good.begin(), good.begin() + 5), 9000},  // left out
        {1, kLinkOk, WithChecksum(Body(0x01, {0x00}, 3, {0, 0})), 5},        // a burst: not timed
    };
    CLinkQuality quality;
    int64_t nowUs = 1'700'000'000'000'000;
    // A reception without a request, and a request without a reception, are no exchanges.
    quality.Add(ReceivedRecord(nowUs, Concat({{0xFF, 0xFF}, good}), kLinkOk, 2));
    quality.Add(SentRecord(nowUs, IdentityPoll(), kLinkOk));
    for (const Exchange& e : table) Feed(quality, e, nowUs);
    for (int64_t ms = 100; ms < 120; ++ms) Feed(quality, {1, kLinkOk, good, ms}, nowUs);

    const CLinkQuality::Figures f = quality.Snapshot();
    // 26 answers timed: 100..119, then 300..350 ms. Nearest rank: the 13th and the 25th.
    EXPECT_EQ(traffic::LinkQualityText(f),
              "Link: 29 exchanges, 25 answered (1 after a retry), 1 no reply, 1 bad checksum, "
              "2 incomplete, 1 with line errors, 1 busy; answer 112/340/350 ms "
              "(median/95%/max)");
    const auto translate = [](const char* english) { return std::string("<") + english + ">"; };
    EXPECT_EQ(traffic::LinkQualityText(f, translate).substr(0, 20), "<Link: 29 exchanges,");

    CLinkQuality single;
    Feed(single, {1, kLinkNoReply, {}, 0}, nowUs);
    EXPECT_EQ(traffic::LinkQualityText(single.Snapshot()),
              "Link: 1 exchange, 0 answered (0 after a retry), 1 no reply, 0 bad checksum, "
              "0 incomplete, 0 with line errors, 0 busy");
}

}  // namespace
}  // namespace traffictest
