// (f): a stop request (the port's wake-up) at a random moment of a blocking exchange, and
// continuous send's own Stop, timed from the signal until the call has returned.
#include <condition_variable>
#include <cstdio>
#include <functional>
#include <mutex>
#include <optional>
#include <random>
#include <thread>
#include <vector>

#include "BadLineBench.h"
#include "BenchTime.h"
#include "Frames.h"
#include "Stats.h"
#include "workflows/ContinuousSend.h"
#include "workflows/LineWorker.h"

namespace {

constexpr int kTrials = 12;  // per exchange
constexpr double kGoalP99Ms = 200;
// An identity poll's request and first hunt; the second attempt repeats both.
constexpr double kPollPhasesMs = 1800;
// The keyed wait of a 25-byte request.
constexpr double kKeyedWaitMs = 225;
// The settle pause after opening and the first poll.
constexpr double kSendPhasesMs = 2500;
constexpr auto kBeginDeadline = std::chrono::seconds(5);

using Delays = std::uniform_real_distribution<double>;

struct Latencies {
    std::vector<double> ms;
    int endedBeforeSignal = 0;
    bool opened = true;
};

BenchClock::duration FromMs(double ms) {
    return std::chrono::duration_cast<BenchClock::duration>(
        std::chrono::duration<double, std::milli>(ms));
}

// Runs call on a thread of its own and signals the port's wake-up delayMs after the call
// began. The time from the signal until the call returned; nothing if it had returned first.
std::optional<double> StopAfter(CSerial& port, double delayMs, const std::function<void()>& call) {
    std::mutex mutex;
    std::condition_variable begun;
    std::optional<BenchClock::time_point> began;
    BenchClock::time_point returned;
    std::thread worker([&] {
        {
            const std::lock_guard lock(mutex);
            began = BenchClock::now();
        }
        begun.notify_all();
        call();
        returned = BenchClock::now();
    });
    BenchClock::time_point start;
    {
        std::unique_lock lock(mutex);
        begun.wait_for(lock, kBeginDeadline, [&] { return began.has_value(); });
        start = began.value_or(BenchClock::now());
    }
    std::this_thread::sleep_until(start + FromMs(delayMs));
    const auto signalled = BenchClock::now();
    port.Wakeup().Signal();
    worker.join();
    port.Wakeup().Clear();
    if (returned < signalled) return std::nullopt;
    return Ms(returned - signalled);
}

// An exchange on its own line, stopped at random moments within its first phasesMs.
Latencies StopExchanges(const ScratchHome& home, const sim::Behaviour& behaviour, double phasesMs,
                        std::mt19937& random, const std::function<void(CHartLink&)>& exchange) {
    sim::ServedPty line({}, {}, behaviour);
    CSerial port;
    CHartLink link(port, SystemClock());
    Latencies latencies;
    if (!home.OpenOn(line, link)) {
        latencies.opened = false;
        return latencies;
    }
    for (int trial = 0; trial < kTrials; ++trial) {
        const auto latency = StopAfter(port, Delays(0, phasesMs)(random), [&] { exchange(link); });
        if (latency)
            latencies.ms.push_back(*latency);
        else
            ++latencies.endedBeforeSignal;
    }
    link.ClosePort();
    return latencies;
}

// Continuous send started on a freshly opened port, then stopped as the window stops it.
Latencies StopContinuousSends(const ScratchHome& home, std::mt19937& random) {
    sim::Behaviour silent;
    silent.silent = true;
    sim::ServedPty line({}, {}, silent);
    CSerial port;
    CHartLink link(port, SystemClock());
    Latencies latencies;
    for (int trial = 0; trial < kTrials; ++trial) {
        port.Wakeup().Clear();
        if (!home.OpenOn(line, link)) {
            latencies.opened = false;
            return latencies;
        }
        CLineWorker send(port.Wakeup());
        const auto started = BenchClock::now();
        send.Start([&link] { RunContinuousPolls(link, [] { return false; }); });
        std::this_thread::sleep_until(started + FromMs(Delays(0, kSendPhasesMs)(random)));
        const auto stopping = BenchClock::now();
        send.Cancel();
        latencies.ms.push_back(Ms(BenchClock::now() - stopping));
    }
    port.Wakeup().Clear();
    return latencies;
}

void Print(const char* exchange, const Latencies& latencies) {
    if (!latencies.opened) {
        std::printf("    %s: the pty line could not be opened\n", exchange);
        return;
    }
    std::printf("    %-44s median %7.2f ms, p99 %7.2f ms over %zu trials", exchange,
                Percentile(latencies.ms, 0.5), Percentile(latencies.ms, 0.99), latencies.ms.size());
    if (latencies.endedBeforeSignal > 0)
        std::printf(" (%d more had ended before the signal)", latencies.endedBeforeSignal);
    std::printf("\n");
}

}  // namespace

void MeasureStopLatency(const ScratchHome& home) {
    std::mt19937 random(std::random_device{}());
    // No device answers, so that each exchange runs its whole course unless stopped.
    sim::Behaviour silent;
    silent.silent = true;
    sim::Behaviour babble = silent;
    babble.babble = true;
    const Bytes poll = IdentityPoll();

    const Latencies pollSilent = StopExchanges(home, silent, kPollPhasesMs, random,
                                               [](CHartLink& link) { link.PollIdentity(0, 2); });
    const Latencies pollBabble = StopExchanges(home, babble, kPollPhasesMs, random,
                                               [](CHartLink& link) { link.PollIdentity(0, 2); });
    const Latencies keyed =
        StopExchanges(home, silent, kKeyedWaitMs, random,
                      [&poll](CHartLink& link) { link.SendFrame(poll.data(), poll.size(), 500); });
    const Latencies send = StopContinuousSends(home, random);

    std::vector<double> all;
    for (const Latencies* l : {&pollSilent, &pollBabble, &keyed, &send})
        all.insert(all.end(), l->ms.begin(), l->ms.end());
    std::printf(
        "(f) stop latency, wake-up signalled at a random moment until the call returned:"
        " median %.2f ms, p99 %.2f ms over %zu trials   (goal p99 <= %.0f ms)\n",
        Percentile(all, 0.5), Percentile(all, 0.99), all.size(), kGoalP99Ms);
    Print("PollIdentity(0, 2), silent line:", pollSilent);
    Print("PollIdentity(0, 2), babble line:", pollBabble);
    Print("SendFrame's keyed wait (25 bytes):", keyed);
    Print("continuous send, the worker's Cancel:", send);
}
