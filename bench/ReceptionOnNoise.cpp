// (e): receptions on lines that never fall quiet long enough for a read wait to run out,
// against the bound every reception keeps.
#include <cstdio>

#include "BadLineBench.h"
#include "BenchTime.h"
#include "hart/LinkBounds.h"
#include "hart/LinkResult.h"

namespace {

constexpr uint32_t kWaitMs = 500;  // what every command passes
constexpr int kReceptions = 5;
constexpr uint32_t kTricklePeriodMs = 400;

struct Longest {
    bool opened = false;
    double ms = 0;
    int notNoReply = 0;  // receptions that ended other than with "no reply"
};

// Receptions alternate between short and long headers, as the commands ask for them.
Longest LongestReception(const ScratchHome& home, const sim::Behaviour& behaviour) {
    sim::ServedPty line({}, {}, behaviour);
    CSerial port;
    CHartLink link(port, SystemClock());
    Longest longest;
    if (!home.OpenOn(line, link)) return longest;
    longest.opened = true;
    for (int i = 0; i < kReceptions; ++i) {
        uint8_t reply[hart::kReplyBufferSize] = {};
        const auto start = BenchClock::now();
        const unsigned result = link.ReceiveFrame(i % 2 == 1, reply, kWaitMs);
        const double ms = Ms(BenchClock::now() - start);
        if (ms > longest.ms) longest.ms = ms;
        longest.notNoReply += result != kLinkNoReply;
    }
    link.ClosePort();
    return longest;
}

void Print(const char* line, const Longest& longest) {
    constexpr double kBoundMs = hart::ReceptionBoundMs(kWaitMs);
    if (!longest.opened) {
        std::printf("    %s: the pty line could not be opened\n", line);
        return;
    }
    std::printf("    %s: longest %.1f ms, / bound %.3f", line, longest.ms, longest.ms / kBoundMs);
    if (longest.notNoReply > 0)
        std::printf(" (%d ended other than with no reply)", longest.notNoReply);
    std::printf("   (goal <= 1.0)\n");
}

}  // namespace

void MeasureReceptionOnNoise(const ScratchHome& home) {
    // No device answers: only the noise is on the line.
    sim::Behaviour trickle;
    trickle.silent = true;
    trickle.trickle = true;
    trickle.tricklePeriodMs = kTricklePeriodMs;
    sim::Behaviour babble;
    babble.silent = true;
    babble.babble = true;
    const Longest onTrickle = LongestReception(home, trickle);
    const Longest onBabble = LongestReception(home, babble);
    std::printf(
        "(e) longest ReceiveFrame (%u ms waits) over %d receptions a line, against its bound"
        " ReceptionBoundMs(%u) = %u ms:\n",
        kWaitMs, kReceptions, kWaitMs, hart::ReceptionBoundMs(kWaitMs));
    char trickleName[64];
    std::snprintf(trickleName, sizeof trickleName, "trickle, one 0xFF every %u ms",
                  kTricklePeriodMs);
    Print(trickleName, onTrickle);
    Print("babble, 0xFF back to back at 1200 baud", onBabble);
}
