// (h): a run's records through the wire tap into the pcapng writer and the trace's text, with
// the observer called as the link calls it: the request written, its echo purged, the
// reply's preamble hunted a byte a read, its header and its data read in one piece each.
#include "CaptureCost.h"

#include <cstdio>
#include <sstream>

#include "BenchTime.h"
#include "Frames.h"
#include "hart/Clock.h"
#include "hart/LinkResult.h"
#include "sim/Frame.h"
#include "traffic/PcapWriter.h"
#include "traffic/WireTap.h"
#include "traffic/WireText.h"

namespace {

constexpr int kExchanges = 4000;

}  // namespace

void MeasureCaptureCost() {
    // Command 3 to a long address and its answer, five preambles each.
    const Bytes request = Frame(5, {0x82, 0x26, 0x06, 0x12, 0x34, 0x56, 0x03, 0x00});
    const Bytes answer = Frame(5, {0x86, 0x26, 0x06, 0x12, 0x34, 0x56, 0x03, 0x18, 0x00, 0x00, 0x41,
                                   0x40, 0x00, 0x00, 0x0C, 0x42, 0x48, 0x00, 0x00, 0x20, 0x41, 0xAC,
                                   0x00, 0x00, 0xFF, 0x41, 0xAC, 0x00, 0x00, 0xFF, 0x41, 0xAC});
    constexpr size_t kPreambles = 5;
    constexpr size_t kHeader = 7;  // long address, command, byte count
    const size_t data = answer.size() - kPreambles - 1 - kHeader;

    std::ostringstream capture;
    traffic::CPcapWriter writer(capture);
    size_t textBytes = 0;
    traffic::CWireTap tap(SystemClock(), traffic::WallClockNowUs(),
                          [&](traffic::TrafficFrame frame) {
                              writer.Write(frame);
                              textBytes += traffic::WireHex(frame).size() +
                                           traffic::JoinedNotes(traffic::WireNotes(frame)).size();
                          });
    const std::vector<uint32_t> noErrors;
    const double cpuBefore = ThreadCpuMs();
    for (int i = 0; i < kExchanges; ++i) {
        tap.BytesWritten(request.data(), request.size());
        tap.InputDiscarded(request.size());
        tap.FrameSent(request.data(), request.size(), kLinkOk);
        size_t at = 0;
        for (; at <= kPreambles; ++at) tap.BytesRead(&answer[at], 1, noErrors);
        tap.DelimiterFound(kPreambles);
        tap.BytesRead(&answer[at], kHeader, noErrors);
        at += kHeader;
        tap.BytesRead(&answer[at], data, noErrors);
        tap.InputDiscarded(0);
        tap.FrameReceived(&answer[kPreambles], answer.size() - kPreambles - 1, kLinkOk);
        tap.CommandEnded(true);
    }
    const double cpu = ThreadCpuMs() - cpuBefore;
    const double wireBytes =
        static_cast<double>(kExchanges) * static_cast<double>(request.size() + answer.size());
    std::printf(
        "(h) capture (tap, pcapng, trace text) of %d exchanges, %.0f wire bytes, %zu bytes of"
        " pcapng%s, %zu of text: CPU time per wire byte / byte time %.5f   (goal <= 0.01)\n",
        kExchanges, wireBytes, capture.str().size(), writer.Good() ? "" : " (cut short)", textBytes,
        cpu / wireBytes / sim::kByteMs);
}
