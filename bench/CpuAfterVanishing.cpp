// (d): continuous send against a device that vanishes after a few answers. What counts is the
// sending thread's CPU clock from the vanishing on: a send that kept polling a dead port
// would take a whole core.
#include <pthread.h>

#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <thread>
#include <vector>

#include "BadLineBench.h"
#include "BenchTime.h"
#include "Frames.h"
#include "Stats.h"
#include "workflows/ContinuousSend.h"

namespace {

constexpr unsigned kAnswersBeforeVanishing = 3;
constexpr int kTrials = 3;
// A send that has not ended this long after the vanishing has its share taken over this
// window instead.
constexpr double kWindowMs = 2000;
// Settle pause, the polls answered and a reception's bound, with room to spare.
constexpr auto kVanishingDeadline = std::chrono::seconds(15);
// How often the vanishing is looked for; it is placed no later than this.
constexpr auto kVanishLookPeriod = std::chrono::microseconds(200);
constexpr double kGoalShare = 0.01;

struct VanishingRun {
    bool vanished = false;
    bool ended = false;        // within the window
    double cpuMs = 0;          // sending thread, from the vanishing to its end or the window's
    double overMs = 0;         // from the vanishing to the send's end, or the window
    unsigned answered = 0;     // polls answered before the end
    bool portStopped = false;  // the send ended as a port that stopped working
};

// The sending thread's end: noted by the thread, which then stays until it is let go, so
// that its CPU clock can still be read once the vanishing is seen.
struct SendEnd {
    std::mutex mutex;
    std::condition_variable changed;
    bool ended = false;
    bool released = false;
    double cpuMs = 0;
    BenchClock::time_point at;
};

VanishingRun RunOnce(const ScratchHome& home) {
    sim::Behaviour behaviour;
    behaviour.vanishAfter = kAnswersBeforeVanishing;
    sim::ServedPty line({}, {sim::DefaultDevice(0)}, behaviour);
    CSerial port;
    CHartLink link(port, SystemClock());
    VanishingRun run;
    if (!home.OpenOn(line, link)) return run;

    SendEnd end;
    ContinuousEnd how = ContinuousEnd::Stopped;
    std::thread send([&] {
        how = RunContinuousPolls(
            link, [] { return false; }, [&](uint64_t, bool answered) { run.answered += answered; });
        std::unique_lock lock(end.mutex);
        end.cpuMs = ThreadCpuMs();
        end.at = BenchClock::now();
        end.ended = true;
        end.changed.notify_all();
        end.changed.wait(lock, [&] { return end.released; });
    });
    clockid_t sendCpu{};
    const bool haveClock = pthread_getcpuclockid(send.native_handle(), &sendCpu) == 0;

    const auto giveUp = BenchClock::now() + kVanishingDeadline;
    while (!line.Vanished() && BenchClock::now() < giveUp)
        std::this_thread::sleep_for(kVanishLookPeriod);
    const auto vanishedAt = BenchClock::now();
    run.vanished = line.Vanished() && haveClock;
    {
        std::unique_lock lock(end.mutex);
        // The thread cannot have gone yet: it waits to be let go.
        const double cpuAtVanishing = CpuClockMs(sendCpu);
        const auto windowEnd = vanishedAt + std::chrono::duration<double, std::milli>(kWindowMs);
        run.ended = end.changed.wait_until(lock, windowEnd, [&] { return end.ended; });
        const double cpuAtEnd = run.ended ? end.cpuMs : CpuClockMs(sendCpu);
        run.cpuMs = cpuAtEnd - cpuAtVanishing;
        run.overMs = run.ended ? Ms(end.at - vanishedAt) : kWindowMs;
    }
    if (!run.ended) port.Wakeup().Signal();
    {
        std::unique_lock lock(end.mutex);
        end.changed.wait(lock, [&] { return end.ended; });
        end.released = true;
        end.changed.notify_all();
    }
    send.join();
    run.portStopped = how == ContinuousEnd::PortStopped;
    return run;
}

}  // namespace

void MeasureCpuAfterVanishing(const ScratchHome& home) {
    std::vector<VanishingRun> runs;
    int notVanished = 0;
    for (int trial = 0; trial < kTrials; ++trial) {
        const VanishingRun run = RunOnce(home);
        if (run.vanished)
            runs.push_back(run);
        else
            ++notVanished;
    }
    if (runs.empty()) {
        std::printf("(d) continuous send after its device vanished: the device never vanished\n");
        return;
    }
    // The run with the largest share, and the spread of the end.
    const VanishingRun* worst = &runs[0];
    std::vector<double> endedAfter;
    int notEnded = 0, portStopped = 0;
    unsigned answeredLeast = kAnswersBeforeVanishing;
    for (const VanishingRun& run : runs) {
        if (run.cpuMs / run.overMs > worst->cpuMs / worst->overMs) worst = &run;
        if (run.ended)
            endedAfter.push_back(run.overMs);
        else
            ++notEnded;
        portStopped += run.portStopped;
        answeredLeast = std::min(answeredLeast, run.answered);
    }
    std::printf(
        "(d) continuous send, device vanishing after %u answers (%zu runs): sending thread's"
        " CPU from the vanishing until the send ended: max %.3f %% of a core (%.3f ms in"
        " %.1f ms)   (goal <= %.0f %%)\n",
        kAnswersBeforeVanishing, runs.size(), 100 * worst->cpuMs / worst->overMs, worst->cpuMs,
        worst->overMs, 100 * kGoalShare);
    if (!endedAfter.empty()) {
        std::printf(
            "    the send ended %.2f ms (median; max %.2f ms) after the vanishing (an identity"
            " poll keeps RTS up %u ms), %d of %zu as a port that stopped working, after %u or"
            " more answers\n",
            Percentile(endedAfter, 0.5), Percentile(endedAfter, 1.0),
            hart::OnAirMs(IdentityPoll().size()) + 1, portStopped, runs.size(), answeredLeast);
    }
    if (notEnded > 0)
        std::printf("    %d of %zu runs had not ended %.0f s after the vanishing\n", notEnded,
                    runs.size(), kWindowMs / 1000);
    if (notVanished > 0) std::printf("    %d runs where the device did not vanish\n", notVanished);
}
