// The wire's bytes gathered into one record per request and per reception.
#include <gtest/gtest.h>

#include "FakeClock.h"
#include "TrafficFrames.h"
#include "hart/LinkResult.h"
#include "traffic/Reception.h"
#include "traffic/WireTap.h"
#include "traffic/WireText.h"

namespace traffictest {
namespace {

using traffic::Direction;
using traffic::TrafficFrame;

TEST(WireTap, RecordsEveryByteWithItsReadTimeAndWhatTheLinkTookItFor) {
    FakeClock clock;
    clock.AdvanceTo((uint64_t{1} << 32) / 1000 - 100);  // 100 ms before the micro count wraps
    std::vector<TrafficFrame> records;
    traffic::CWireTap tap(clock, 5'000'000,
                          [&](TrafficFrame frame) { records.push_back(std::move(frame)); });
    const Bytes poll = IdentityPoll();
    tap.BytesWritten(poll.data(), poll.size());
    clock.Advance(40);
    tap.InputDiscarded(7);
    tap.FrameSent(poll.data(), poll.size(), kLinkOk);

    // Noise, an echo tail with its preamble, then the answer with a byte in error.
    clock.Advance(250);  // past the wrap
    const Bytes noise{0x12, 0x34, 0x56};
    tap.BytesRead(noise.data(), noise.size(), {});
    const Bytes echo{0xFF, 0xFF, 0x02, 0x00, 0x00, 0x00, 0x02};
    tap.BytesRead(echo.data(), echo.size(), {});
    tap.EchoDropped(5, 5);
    clock.Advance(10);
    const Bytes answer = Concat({{0xFF, 0xFF, 0xFF}, WithChecksum(IdentityAnswer())});
    tap.BytesRead(answer.data(), answer.size(), {4});
    tap.DelimiterFound(13);
    tap.FrameReceived(nullptr, 0, kLinkOk);
    tap.CommandEnded(true);

    ASSERT_EQ(records.size(), 2u);
    const TrafficFrame& sent = records[0];
    EXPECT_EQ(sent.timeUs, 5'040'000);
    EXPECT_EQ(sent.bytes, poll);
    EXPECT_EQ(sent.discarded, 7u);
    EXPECT_EQ(sent.attempt, 1u);

    const TrafficFrame& received = records[1];
    EXPECT_EQ(received.direction, Direction::Received);
    EXPECT_EQ(received.bytes, Concat({noise, echo, answer}));
    EXPECT_EQ(received.requestEndUs, 5'040'000);
    EXPECT_EQ(received.attempt, 1u);
    ASSERT_EQ(received.reads.size(), 3u);
    EXPECT_EQ(received.reads[2].offset, 10u);
    EXPECT_EQ(received.reads[2].timeUs, 5'300'000);
    ASSERT_EQ(received.echoes.size(), 1u);
    EXPECT_EQ(received.echoes[0].offset, 3u);  // the echo's preamble belongs to it
    EXPECT_EQ(received.echoes[0].count, 7u);
    EXPECT_EQ(received.lineErrorsAt, std::vector<uint32_t>{14});

    const traffic::ReceptionParts parts = traffic::SplitReception(received);
    EXPECT_EQ(parts.noise, 3u);
    EXPECT_EQ(parts.echo, 7u);
    EXPECT_EQ(parts.preambles, 3u);
    EXPECT_EQ(Bytes(parts.frame.begin(), parts.frame.end()), WithChecksum(IdentityAnswer()));
    EXPECT_EQ(parts.replyStartUs, 5'300'000);
    EXPECT_EQ(traffic::WireHex(received).substr(0, 45),
              "12 34 56 FF FF 02 00 00 00 02 FF\u00D73 06 00! 00");
    EXPECT_EQ(
        traffic::WireNotes(received),
        (std::vector<std::string>{"noise: 3 bytes before the preamble", "echo dropped: 7 bytes",
                                  "parity or framing error at frame byte 1"}));
}

TEST(WireTap, CountsARetryAsTheCommandsSecondAttempt) {
    FakeClock clock;
    std::vector<TrafficFrame> records;
    traffic::CWireTap tap(clock, 0,
                          [&](TrafficFrame frame) { records.push_back(std::move(frame)); });
    for (int i = 0; i < 2; ++i) {
        tap.FrameSent(nullptr, 0, kLinkOk);
        tap.FrameReceived(nullptr, 0, kLinkNoReply);
    }
    tap.CommandEnded(false);
    tap.FrameSent(nullptr, 0, kLinkOk);
    ASSERT_EQ(records.size(), 5u);
    EXPECT_EQ(records[3].attempt, 2u);
    EXPECT_EQ(records[4].attempt, 1u);
}

}  // namespace
}  // namespace traffictest
