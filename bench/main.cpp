// tralvo-bench: how the link layer spends time on a line, against the simulated devices over a
// pty. Prints its figures and exits 0; the goals are printed beside them.
#include <stdlib.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "Stats.h"
#include "TimingSerial.h"
#include "hart/HartFrame.h"
#include "hart/HartLink.h"
#include "serial/ComPortMap.h"
#include "sim/ServedPty.h"

namespace {

constexpr uint8_t kComPort = 250;
constexpr double kByteMs = 11.0 * 1000.0 / 1200.0;
constexpr double kTurnaroundMs = 20.0;
constexpr int kRoundsPerSize = 12;
constexpr int kPollRuns = 5;

using Bytes = std::vector<uint8_t>;

double ThreadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

double Ms(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

Bytes Frame(size_t preambles, Bytes body) {
    Bytes frame(preambles, hart::kPreambleByte);
    frame.insert(frame.end(), body.begin(), body.end());
    frame.push_back(hart::Checksum(body.data(), body.size()));
    return frame;
}

// Settings and COM links of this run live in a folder of its own, never the user's.
class ScratchHome {
public:
    ScratchHome() {
        char pattern[] = "/tmp/tralvo-bench-XXXXXX";
        if (mkdtemp(pattern)) m_path = pattern;
        setenv("XDG_CONFIG_HOME", m_path.c_str(), 1);
    }
    ~ScratchHome() {
        std::error_code ignored;
        if (!m_path.empty()) std::filesystem::remove_all(m_path, ignored);
    }
    // Makes COM<kComPort> lead to the device.
    bool Plug(const std::string& device) const {
        const std::string link = PortLinkPath(kComPort);
        std::error_code error;
        std::filesystem::remove(link, error);
        std::filesystem::create_directories(std::filesystem::path(link).parent_path(), error);
        return symlink(device.c_str(), link.c_str()) == 0;
    }

private:
    std::string m_path;
};

// (a) and (b): frames of the sizes the commands send, into a line whose devices keep quiet.
void MeasureSendFrame(const ScratchHome& home) {
    sim::Behaviour quiet;
    quiet.silent = true;
    sim::ServedPty line({.fast = true}, {}, quiet);
    TimingSerial port;
    CHartLink link(port, SystemClock());
    if (!line.ok() || !home.Plug(line.SlavePath()) || link.OpenPort(kComPort, 1200) != kLinkOk) {
        std::printf("(a), (b): the pty line could not be opened\n");
        return;
    }
    const std::vector<Bytes> frames = {
        Frame(20, {0x02, 0x00, 0x00, 0x00}),                         // identity poll, 25 bytes
        Frame(5, {0x82, 0x26, 0x06, 0x12, 0x34, 0x56, 0x0D, 0x00}),  // command 13, 14 bytes
        Frame(5, {0x02, 0x00, 0x04, 0x01, 0x01}),                    // command 4, 11 bytes
    };
    std::vector<double> cpuRatios, dropErrors;
    double cpuTotal = 0, airTotal = 0;
    for (int round = 0; round < kRoundsPerSize; ++round) {
        for (const Bytes& frame : frames) {
            port.Clear();
            const double cpuBefore = ThreadCpuMs();
            const unsigned result = link.SendFrame(frame.data(), frame.size(), 500);
            const double cpu = ThreadCpuMs() - cpuBefore;
            if (result != kLinkOk || port.Sends().size() != 1 || !port.Sends()[0].dropped) continue;
            const double air = static_cast<double>(frame.size()) * kByteMs;
            cpuRatios.push_back(cpu / air);
            cpuTotal += cpu;
            airTotal += air;
            // The link keeps RTS up for length x 9.2 ms + 1 ms from the start, then 1 ms more.
            const double linkOnAir = static_cast<double>(frame.size() * 92 / 10 + 1);
            const auto& send = port.Sends()[0];
            dropErrors.push_back(Ms(send.rtsDrop - send.writeStart) - linkOnAir - 1.0);
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
}

// (c): the poll and tag read of a test run against the paced simulator.
void MeasurePollAndTag(const ScratchHome& home) {
    const std::vector<sim::DeviceConfig> devices{sim::DefaultDevice(0)};
    sim::ServedPty line({}, devices);
    CSerial port;
    CHartLink link(port, SystemClock());
    if (!line.ok() || !home.Plug(line.SlavePath()) || link.OpenPort(kComPort, 1200) != kLinkOk) {
        std::printf("(c): the pty line could not be opened\n");
        return;
    }
    const sim::DeviceConfig& d = devices[0];
    const Bytes poll = Frame(20, {0x02, 0x00, 0x00, 0x00});
    const Bytes tagRead =
        Frame(5, {0x82, static_cast<uint8_t>(d.manufacturer & 0x3F), d.deviceType,
                  static_cast<uint8_t>(d.deviceId >> 16), static_cast<uint8_t>(d.deviceId >> 8),
                  static_cast<uint8_t>(d.deviceId), 13, 0});
    const size_t wireBytes = poll.size() + sim::ServedPty::ReplyBytes(devices, poll) +
                             tagRead.size() + sim::ServedPty::ReplyBytes(devices, tagRead);
    const double model = static_cast<double>(wireBytes) * kByteMs + 2 * kTurnaroundMs;
    std::vector<double> ratios;
    double lastWall = 0;
    for (int run = 0; run < kPollRuns; ++run) {
        uint8_t reply[hart::kReplyBufferSize] = {};
        const auto start = std::chrono::steady_clock::now();
        const bool ok = link.PollIdentity(0, 2) && link.SendCommand(13, reply);
        lastWall = Ms(std::chrono::steady_clock::now() - start);
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
    MeasureSendFrame(home);
    MeasurePollAndTag(home);
    return 0;
}
