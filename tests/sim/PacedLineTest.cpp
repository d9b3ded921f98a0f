// The simulated line's timing in virtual time: every byte it gives is stamped with the moment
// it falls due, so the turnaround, late echo, trickle, babble and a vanishing device end can
// be checked to the microsecond.
#include <algorithm>
#include <optional>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "SimFrames.h"
#include "sim/PacedLine.h"

namespace {

using namespace simtest;
using sim::kByteMs;
using ::testing::Each;
using ::testing::ElementsAreArray;

constexpr double kSlack = 1e-6;

Bytes Slice(const Bytes& bytes, size_t from, size_t to) {
    to = std::min(to, bytes.size());
    from = std::min(from, to);
    return Bytes(bytes.begin() + static_cast<long>(from), bytes.begin() + static_cast<long>(to));
}

struct Stamped {
    double ms;
    uint8_t byte;
};

class VirtualLine {
public:
    explicit VirtualLine(const sim::Behaviour& behaviour, const sim::LineTiming& timing = {})
        : m_bus({}, behaviour), m_line(m_bus, timing) {}

    // The master's request arrives whole at `ms`, as a pty delivers it.
    void Send(double ms, const Bytes& request) {
        RunUntil(ms);
        m_line.Hear(ms, request);
    }

    // The request at `ms`, then the line until `end`.
    void Play(double ms, const Bytes& request, double end) {
        Send(ms, request);
        RunUntil(end);
    }

    // Steps from one due moment to the next, as the line loop does.
    void RunUntil(double end) {
        for (;;) {
            for (uint8_t b : m_line.Take(m_now)) out.push_back({m_now, b});
            const double next = m_line.NextDueMs();
            if (next > end) break;
            if (next <= m_now) {  // the real loop would spin here
                ADD_FAILURE() << "nothing given although due at " << m_now;
                break;
            }
            m_now = next;
        }
        m_now = end;
    }

    Bytes Carried(size_t from = 0) const {
        Bytes bytes;
        for (size_t i = from; i < out.size(); ++i) bytes.push_back(out[i].byte);
        return bytes;
    }
    std::optional<double> LastAnswerSentMs() const { return m_line.LastAnswerSentMs(); }

    std::vector<Stamped> out;

private:
    sim::FieldBus m_bus;
    sim::PacedLine m_line;
    double m_now = 0;
};

// The identity answer of the default device: 5 preambles and 29 bytes of frame.
constexpr size_t kIdentityAnswerBytes = 34;

sim::Behaviour Silent() {
    sim::Behaviour b;
    b.silent = true;
    return b;
}

// --- turnaround -----------------------------------------------------------------------------

TEST(PacedLineTiming, TheTurnaroundIsTheGapBetweenTheHeardRequestAndTheAnswer) {
    EXPECT_EQ(sim::LineTiming{}.turnaroundMs, 20.0);
    const Bytes request = IdentityPoll(0);
    const double heardEnd = static_cast<double>(request.size()) * kByteMs;
    for (double turnaround : {0.0, 20.0, 150.0}) {
        VirtualLine line({}, {.turnaroundMs = turnaround});
        line.Play(0, request, 2000);
        ASSERT_EQ(line.out.size(), kIdentityAnswerBytes) << turnaround;
        for (size_t i = 0; i < line.out.size(); ++i) {
            EXPECT_NEAR(line.out[i].ms, heardEnd + turnaround + static_cast<double>(i) * kByteMs,
                        kSlack);
        }
        EXPECT_EQ(FramesIn(line.Carried()).size(), 1u);
    }
}

// --- late echo ------------------------------------------------------------------------------

TEST(PacedLineLateEcho, TheTailComesAllAtOnceAfterTheMastersPurgeAndBeforeTheAnswer) {
    sim::Behaviour b;
    b.lateEchoBytes = 3;
    const Bytes request = LongRequest(0x26, 0x06, 0x123456, 13);
    const double heardEnd = static_cast<double>(request.size()) * kByteMs;
    for (double turnaround : {20.0, 0.0}) {
        VirtualLine line(b, {.turnaroundMs = turnaround});
        line.Play(0, request, 1000);
        ASSERT_GT(line.out.size(), 3u);
        const Bytes tail(request.end() - 3, request.end());
        EXPECT_THAT(Slice(line.Carried(), 0, 3), ElementsAreArray(tail));
        for (size_t i = 0; i < 3; ++i) {
            EXPECT_NEAR(line.out[i].ms, heardEnd + sim::kLateEchoDelayMs, kSlack);
        }
        // The answer keeps its turnaround but never goes before the tail.
        EXPECT_NEAR(line.out[3].ms, heardEnd + std::max(turnaround, sim::kLateEchoDelayMs), kSlack);
        const auto frames = FramesIn(line.Carried(3));
        ASSERT_EQ(frames.size(), 1u);
        EXPECT_TRUE(frames[0].checksumOk);
    }
    // The master drops RTS and purges 1 ms after length x 9.2 ms + 1 ms, give or take a tick;
    // the tail must come after that for every request up to the longest.
    for (size_t length : {11, 14, 25, 284}) {
        const double purgeMs = static_cast<double>(length * 92 / 10 + 1 + 1 + 1);
        EXPECT_GT(static_cast<double>(length) * kByteMs + sim::kLateEchoDelayMs, purgeMs) << length;
    }
}

TEST(PacedLineLateEcho, WithTheEchoTheRequestComesBackOnceWithOnlyItsTailLate) {
    sim::Behaviour b;
    b.echo = true;
    b.lateEchoBytes = 5;
    const Bytes request = IdentityPoll(0);
    VirtualLine line(b);
    line.Play(100, request, 1000);
    ASSERT_GT(line.out.size(), request.size());
    const double tailAt =
        100 + static_cast<double>(request.size()) * kByteMs + sim::kLateEchoDelayMs;
    for (size_t i = 0; i < request.size(); ++i) {
        EXPECT_NEAR(line.out[i].ms, i < request.size() - 5 ? 100.0 : tailAt, kSlack) << i;
    }
    const Bytes carried = line.Carried();
    EXPECT_THAT(Slice(carried, 0, request.size()), ElementsAreArray(request));
    EXPECT_EQ(carried.size(), request.size() + kIdentityAnswerBytes);
}

// --- trickle --------------------------------------------------------------------------------

TEST(PacedLineTrickle, OneFFEveryPeriodOnASilentLineWhateverIsHeard) {
    sim::Behaviour b = Silent();
    b.trickle = true;
    VirtualLine line(b);
    line.Play(100, IdentityPoll(0), 2000);
    std::vector<double> times;
    for (const Stamped& s : line.out) times.push_back(s.ms);
    EXPECT_THAT(times, ElementsAreArray({400.0, 800.0, 1200.0, 1600.0, 2000.0}));
    EXPECT_THAT(line.Carried(), Each(0xFF));
}

TEST(PacedLineTrickle, AByteDueDuringAnAnswerWaitsForItsEndAndTheBeatGoesOn) {
    sim::Behaviour b;
    b.trickle = true;
    b.tricklePeriodMs = 300;
    const Bytes request = IdentityPoll(0);
    VirtualLine line(b);
    line.Play(0, request, 950);
    // The answer runs from 249.2 to 560.8 ms: the trickle of 300 ms waits until it ends.
    const double answerStart = static_cast<double>(request.size()) * kByteMs + 20.0;
    const double answerEnd = answerStart + kIdentityAnswerBytes * kByteMs;
    ASSERT_EQ(line.out.size(), kIdentityAnswerBytes + 3);
    EXPECT_NEAR(line.out[0].ms, answerStart, kSlack);
    EXPECT_NEAR(line.out[kIdentityAnswerBytes].ms, answerEnd, kSlack);
    EXPECT_NEAR(line.out[kIdentityAnswerBytes + 1].ms, 600.0, kSlack);
    EXPECT_NEAR(line.out[kIdentityAnswerBytes + 2].ms, 900.0, kSlack);
    const auto frames = FramesIn(line.Carried());
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_TRUE(frames[0].checksumOk);
}

// --- babble ---------------------------------------------------------------------------------

TEST(PacedLineBabble, ASilentLineCarriesFFBackToBackAtLinePaceAndNeverADelimiter) {
    sim::Behaviour b = Silent();
    b.babble = true;
    VirtualLine line(b);
    line.Play(50, IdentityPoll(0), 1000);
    ASSERT_EQ(line.out.size(), static_cast<size_t>(1000 / kByteMs) + 1);
    for (size_t i = 0; i < line.out.size(); ++i) {
        EXPECT_NEAR(line.out[i].ms, static_cast<double>(i) * kByteMs, kSlack);
    }
    EXPECT_THAT(line.Carried(), Each(0xFF));
}

TEST(PacedLineBabble, GivesWayToTheAnswerAndTakesTheLineBackAfterIt) {
    sim::Behaviour b;
    b.babble = true;
    const Bytes request = IdentityPoll(0);
    VirtualLine line(b);
    line.Play(0, request, 1000);
    const double answerStart = static_cast<double>(request.size()) * kByteMs + 20.0;
    const auto first = std::find_if(line.out.begin(), line.out.end(),
                                    [&](const Stamped& s) { return s.ms > answerStart - kSlack; });
    ASSERT_NE(first, line.out.end());
    const size_t at = static_cast<size_t>(first - line.out.begin());
    ASSERT_GE(line.out.size(), at + kIdentityAnswerBytes + 2);
    // The answer goes whole and paced, with babble before and after it, never inside.
    for (size_t i = 0; i < kIdentityAnswerBytes; ++i) {
        EXPECT_NEAR(line.out[at + i].ms, answerStart + static_cast<double>(i) * kByteMs, kSlack);
    }
    const Bytes carried = line.Carried();
    const auto frames = FramesIn(Slice(carried, at, at + kIdentityAnswerBytes));
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_TRUE(frames[0].checksumOk);
    EXPECT_NEAR(line.out[at + kIdentityAnswerBytes].ms,
                answerStart + kIdentityAnswerBytes * kByteMs, kSlack);
    EXPECT_THAT(Slice(carried, 0, at), Each(0xFF));
    EXPECT_THAT(Slice(carried, at + kIdentityAnswerBytes, carried.size()), Each(0xFF));
    EXPECT_EQ(FramesIn(carried).size(), 1u);
}

// --- vanishing device end ---------------------------------------------------------------------

TEST(PacedLineVanish, TheLineFallsSilentForGoodOnceTheLastAnswerIsSent) {
    sim::Behaviour b;
    b.vanishAfter = 2;
    b.burst = true;
    b.babble = true;
    const Bytes request = IdentityPoll(0);
    VirtualLine line(b);
    line.Play(0, request, 1000);
    EXPECT_FALSE(line.LastAnswerSentMs());
    EXPECT_EQ(FramesIn(line.Carried()).size(), 2u);  // the answer and its burst frame

    const size_t before = line.out.size();
    line.Play(1000, request, 3000);
    const double answerStart = 1000 + static_cast<double>(request.size()) * kByteMs + 20.0;
    const double lastByte = answerStart + (kIdentityAnswerBytes - 1) * kByteMs;
    ASSERT_TRUE(line.LastAnswerSentMs());
    EXPECT_NEAR(*line.LastAnswerSentMs(), lastByte, kSlack);
    // Nothing after the last answer: no burst frame, no babble.
    EXPECT_NEAR(line.out.back().ms, lastByte, kSlack);
    const auto frames = FramesIn(line.Carried(before));
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].frame.delimiter, 0x06);

    const size_t after = line.out.size();
    line.Play(3000, request, 6000);
    EXPECT_EQ(line.out.size(), after);
}

}  // namespace
