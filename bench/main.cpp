// tralvo-bench: how the link layer spends time on a line, against the simulated devices over a
// pty. Prints its figures and exits 0; the goals are printed beside them.
#include <stdlib.h>

#include <cstdio>
#include <thread>
#include <vector>

#include "BadLineBench.h"
#include "BenchTime.h"
#include "CaptureCost.h"
#include "DropInstants.h"
#include "Frames.h"
#include "ScratchHome.h"
#include "Stats.h"
#include "TimingSerial.h"
#include "WindowDuringScan.h"
#include "hart/HartFrame.h"
#include "hart/HartLink.h"
#include "sim/Frame.h"
#include "sim/ServedPty.h"

namespace {

constexpr double kTurnaroundMs = 20.0;
constexpr int kRoundsPerSize = 12;
constexpr int kPollRuns = 5;

// (a) and (b): frames of the sizes the commands send, into a line whose devices keep quiet.
void MeasureSendFrame(const ScratchHome& home) {
    sim::Behaviour quiet;
    quiet.silent = true;
    sim::ServedPty line({.fast = true}, {}, quiet);
    TimingSerial port;
    CHartLink link(port, SystemClock());
    if (!home.OpenOn(line, link)) {
        std::printf("(a), (b): the pty line could not be opened\n");
        return;
    }
    const std::vector<Bytes> frames = {
        IdentityPoll(),                                              // 25 bytes
        Frame(5, {0x82, 0x26, 0x06, 0x12, 0x34, 0x56, 0x0D, 0x00}),  // command 13, 14 bytes
        Frame(5, {0x02, 0x00, 0x04, 0x01, 0x01}),                    // command 4, 11 bytes
    };
    std::vector<double> cpuRatios, dropErrors;
    DropInstants instants;
    double cpuTotal = 0, airTotal = 0;
    for (int round = 0; round < kRoundsPerSize; ++round) {
        for (const Bytes& frame : frames) {
            port.Clear();
            const double cpuBefore = ThreadCpuMs();
            const unsigned result = link.SendFrame(frame.data(), frame.size(), 500);
            const double cpu = ThreadCpuMs() - cpuBefore;
            if (result != kLinkOk || port.Sends().size() != 1 || !port.Sends()[0].dropped) continue;
            const double air = static_cast<double>(frame.size()) * sim::kByteMs;
            cpuRatios.push_back(cpu / air);
            cpuTotal += cpu;
            airTotal += air;
            // The link keeps RTS up for length x 9.2 ms + 1 ms from the start, then 1 ms more.
            const double linkOnAir = static_cast<double>(frame.size() * 92 / 10 + 1);
            const auto& send = port.Sends()[0];
            dropErrors.push_back(Ms(send.rtsDrop - send.writeStart) - linkOnAir - 1.0);
            instants.Note(send, linkOnAir + 1.0);
        }
    }
    link.ClosePort();
    std::printf("frames sent: %zu (25, 14 and 11 bytes, %d each)\n", cpuRatios.size(),
                kRoundsPerSize);
    std::printf(
        "(a) SendFrame CPU time / on-air time: %.4f overall, median %.4f, max %.4f"
        "   (goal <= 0.02)\n",
        airTotal > 0 ? cpuTotal / airTotal : 0.0, Percentile(cpuRatios, 0.5),
        Percentile(cpuRatios, 1.0));
    std::printf(
        "(b) RTS drop error, drop - start - on-air - 1 ms: median %.2f ms, p99 %.2f ms,"
        " min %.2f ms   (goal 0..3 ms)\n",
        Percentile(dropErrors, 0.5), Percentile(dropErrors, 0.99), Percentile(dropErrors, 0.0));
    instants.Print();
}

// (c): the poll and tag read of a test run against the paced simulator.
void MeasurePollAndTag(const ScratchHome& home) {
    const std::vector<sim::DeviceConfig> devices{sim::DefaultDevice(0)};
    sim::ServedPty line({}, devices);
    CSerial port;
    CHartLink link(port, SystemClock());
    if (!home.OpenOn(line, link)) {
        std::printf("(c): the pty line could not be opened\n");
        return;
    }
    const sim::DeviceConfig& d = devices[0];
    const Bytes poll = IdentityPoll();
    const Bytes tagRead =
        Frame(5, {0x82, static_cast<uint8_t>(d.manufacturer & 0x3F), d.deviceType,
                  static_cast<uint8_t>(d.deviceId >> 16), static_cast<uint8_t>(d.deviceId >> 8),
                  static_cast<uint8_t>(d.deviceId), 13, 0});
    const size_t wireBytes = poll.size() + sim::ServedPty::ReplyBytes(devices, poll) +
                             tagRead.size() + sim::ServedPty::ReplyBytes(devices, tagRead);
    const double model = static_cast<double>(wireBytes) * sim::kByteMs + 2 * kTurnaroundMs;
    std::vector<double> ratios;
    double lastWall = 0;
    for (int run = 0; run < kPollRuns; ++run) {
        uint8_t reply[hart::kReplyBufferSize] = {};
        const auto start = BenchClock::now();
        const bool ok = link.PollIdentity(0, 2) && link.SendCommand(13, reply);
        lastWall = Ms(BenchClock::now() - start);
        if (ok) ratios.push_back(lastWall / model);
    }
    link.ClosePort();
    if (ratios.empty()) {
        std::printf("(c) PollIdentity + tag read: no answer from the simulator\n");
        return;
    }
    std::printf(
        "(c) PollIdentity + tag read / wire model (%zu bytes + 2 turnarounds = %.1f ms):"
        " median %.3f, max %.3f over %zu runs   (goal <= 1.05)\n",
        wireBytes, model, Percentile(ratios, 0.5), Percentile(ratios, 1.0), ratios.size());
}

}  // namespace

int main() {
    ScratchHome home;
    std::printf("tralvo-bench: link layer over a pty, simulated devices at 1200 baud\n");
    // Late wake-ups on a busy machine show in the timing figures; say how busy it was.
    double load = 0;
    if (getloadavg(&load, 1) == 1)
        std::printf("machine: %u cores, load average %.2f at the start\n",
                    std::thread::hardware_concurrency(), load);
    MeasureSendFrame(home);
    MeasurePollAndTag(home);
    std::printf("bad lines: a vanishing device, trickle and babble, stop requests\n");
    MeasureCpuAfterVanishing(home);
    MeasureReceptionOnNoise(home);
    MeasureStopLatency(home);
    std::printf("the window: a multi-drop scan beside its event loop\n");
    MeasureWindowDuringScan(home);
    std::printf("the capture: what recording the wire costs beside the wire's own pace\n");
    MeasureCaptureCost();
    return 0;
}
