// The link's frames stamped with their time for the line traffic.
#include <gtest/gtest.h>

#include "FakeClock.h"
#include "TrafficFrames.h"
#include "traffic/FrameTap.h"

namespace traffictest {
namespace {

using traffic::Direction;
using traffic::TrafficFrame;

TEST(FrameTap, StampsEachFrameWithTheStartTimePlusTheLinksClockAcrossAWrap) {
    FakeClock clock;
    clock.AdvanceTo((uint64_t{1} << 32) - 100);  // 100 ms before the tick counter wraps
    std::vector<TrafficFrame> frames;
    traffic::CFrameTap tap(clock, 5'000'000,
                           [&](TrafficFrame frame) { frames.push_back(std::move(frame)); });
    const Bytes poll = IdentityPoll();
    clock.Advance(40);
    tap.FrameSent(poll.data(), poll.size(), kLinkOk);
    clock.Advance(250);  // past the wrap
    const Bytes answer = IdentityAnswer();
    tap.FrameReceived(answer.data(), answer.size(), kLinkOk);
    clock.Advance(1500);
    tap.FrameReceived(nullptr, 0, kLinkNoReply);

    ASSERT_EQ(frames.size(), 3u);
    EXPECT_EQ(frames[0].timeUs, 5'040'000);
    EXPECT_EQ(frames[0].direction, Direction::Sent);
    EXPECT_EQ(frames[0].bytes, poll);
    EXPECT_EQ(frames[1].timeUs, 5'290'000);
    EXPECT_EQ(frames[1].direction, Direction::Received);
    EXPECT_EQ(frames[1].bytes, answer);
    EXPECT_EQ(frames[2].timeUs, 6'790'000);
    EXPECT_TRUE(frames[2].bytes.empty());
    EXPECT_EQ(frames[2].linkResult, kLinkNoReply);
}

}  // namespace
}  // namespace traffictest
