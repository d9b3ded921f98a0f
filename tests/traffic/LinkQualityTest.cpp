// The link-quality tally over records made by hand, as the wire tap would make them.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "TrafficFrames.h"
#include "traffic/LinkQuality.h"

namespace traffictest {
namespace {

using traffic::CLinkQuality;
using traffic::TrafficFrame;

enum class Back { Answer, Busy, DelayedResponse, BadChecksum, CutShort, Burst, Nothing };

struct Exchange {
    unsigned attempt;
    unsigned result;  // the reception's link result
    Back back;
    std::optional<int64_t> answerMs;  // when the reply's first byte came after the request
    bool lineError = false;
};

Bytes Reply(Back back) {
    const Bytes answer = WithChecksum(Body(0x06, {0x00}, 0, {0x00, 0x00}));
    switch (back) {
        case Back::Answer:
            return answer;
        case Back::Busy:
            return WithChecksum(Body(0x06, {0x00}, 0, {32, 0x00}));
        case Back::DelayedResponse:
            return WithChecksum(Body(0x06, {0x00}, 0, {33, 0x00}));
        case Back::BadChecksum:
            return Concat({Bytes(answer.begin(), answer.end() - 1), {0x00}});
        case Back::CutShort:
            return Bytes(answer.begin(), answer.begin() + 5);
        case Back::Burst:
            return WithChecksum(Body(0x01, {0x00}, 3, {0x00, 0x00}));
        case Back::Nothing:
            break;
    }
    return {};
}

void Feed(CLinkQuality& quality, const Exchange& e, int64_t& nowUs) {
    TrafficFrame sent = SentRecord(nowUs, IdentityPoll(), kLinkOk);
    sent.attempt = e.attempt;
    quality.Add(sent);

    const Bytes reply = Reply(e.back);
    // Noise, two preamble bytes, the frame.
    const Bytes bytes = reply.empty() ? Bytes{0x3C} : Concat({{0x3C, 0xFF, 0xFF}, reply});
    TrafficFrame received =
        ReceivedRecord(nowUs + 500'000, bytes, e.result,
                       reply.empty() ? std::nullopt : std::optional<uint32_t>(3));
    received.attempt = e.attempt;
    received.requestEndUs = nowUs;
    received.reads = {{0, nowUs + 1000}, {1, nowUs + e.answerMs.value_or(400) * 1000}};
    if (e.lineError) received.lineErrorsAt = {0};
    quality.Add(received);
    nowUs += 1'000'000;
}

TEST(LinkQuality, CountsEachRequestAndWhatCameBackAndTimesTheDevicesAnswers) {
    const Exchange table[] = {
        {1, kLinkOk, Back::Answer, 300},
        {2, kLinkOk, Back::Answer, 310},                     // answered after a retry
        {1, kLinkOk, Back::Busy, 320},                       // busy, and answered
        {1, kLinkOk, Back::DelayedResponse, 330},            // answered, not busy
        {1, kLinkNoReply, Back::Nothing, {}, true},          // a line error in the noise
        {1, kLinkChecksumMismatch, Back::BadChecksum, 340},  // the device did answer
        {1, kLinkDataIncomplete, Back::CutShort, 350},
        {2, kLinkPortError, Back::Nothing, {}},       // cut short too
        {1, kLinkInterrupted, Back::CutShort, 9000},  // the user's stop: left out
        {1, kLinkOk, Back::Burst, 5},                 // answered; no device answer to time
    };
    CLinkQuality quality;
    int64_t nowUs = 1'700'000'000'000'000;
    // A reception without a request, and a request without a reception, are no exchanges.
    TrafficFrame unasked =
        ReceivedRecord(nowUs, Concat({{0xFF, 0xFF}, Reply(Back::Answer)}), kLinkOk, 2);
    quality.Add(unasked);
    quality.Add(SentRecord(nowUs, IdentityPoll(), kLinkOk));
    for (const Exchange& e : table) Feed(quality, e, nowUs);
    for (int64_t ms = 100; ms < 120; ++ms) Feed(quality, {1, kLinkOk, Back::Answer, ms}, nowUs);

    const CLinkQuality::Figures f = quality.Snapshot();
    EXPECT_EQ(f.exchanges, 29u);
    EXPECT_EQ(f.answered, 25u);
    EXPECT_EQ(f.retried, 1u);
    EXPECT_EQ(f.noReply, 1u);
    EXPECT_EQ(f.badChecksum, 1u);
    EXPECT_EQ(f.incomplete, 2u);
    EXPECT_EQ(f.lineErrors, 1u);
    EXPECT_EQ(f.busy, 1u);
    // 26 answers timed: 100..119, then 300..350 ms. Nearest rank: the 13th and the 25th.
    ASSERT_TRUE(f.answerTimes);
    EXPECT_EQ(f.answerTimes->medianMs, 112u);
    EXPECT_EQ(f.answerTimes->p95Ms, 340u);
    EXPECT_EQ(f.answerTimes->maxMs, 350u);
    EXPECT_EQ(traffic::LinkQualityText(f),
              "Link: 29 exchanges, 25 answered (1 after a retry), 1 no reply, 1 bad checksum, "
              "2 incomplete, 1 with line errors, 1 busy; answer 112/340/350 ms "
              "(median/95%/max)");
}

TEST(LinkQuality, TextOfASingleUntimedExchangeGoesThroughTheTranslation) {
    CLinkQuality quality;
    int64_t nowUs = 0;
    Feed(quality, {1, kLinkNoReply, Back::Nothing, {}}, nowUs);
    const CLinkQuality::Figures f = quality.Snapshot();
    EXPECT_FALSE(f.answerTimes);
    EXPECT_EQ(traffic::LinkQualityText(f),
              "Link: 1 exchange, 0 answered (0 after a retry), 1 no reply, 0 bad checksum, "
              "0 incomplete, 0 with line errors, 0 busy");
    const auto translate = [](const char* english) { return std::string("<") + english + ">"; };
    EXPECT_EQ(traffic::LinkQualityText(f, translate).substr(0, 18), "<Link: 1 exchange,");
}

}  // namespace
}  // namespace traffictest
