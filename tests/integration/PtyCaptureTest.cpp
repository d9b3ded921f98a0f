// The capture against devices that misbehave, end to end: the link over a pty pair, its
// observer a wire tap whose records go into the pcapng writer, and the file parsed again.
// The scripted device keeps a 1200-baud line's timing: it hears the request's last byte
// after its on-air time and answers after a turnaround.
#include <chrono>
#include <sstream>
#include <thread>

#include <gtest/gtest.h>

#include "hart/HartLink.h"
#include "serial/ComPortMap.h"
#include "tests/integration/ScriptedLine.h"
#include "tests/serial/PtyPair.h"
#include "tests/serial/ScopedConfigHome.h"
#include "tests/traffic/PcapRecords.h"
#include "tests/traffic/TrafficFrames.h"
#include "traffic/PcapWriter.h"
#include "traffic/WireTap.h"

namespace traffictest {
namespace {

using namespace std::chrono;

const Bytes kAddress{0x26, 0x06, 0x31, 0x32, 0x33};
const Bytes kAliasAddress{0x28, 0x61, 0x31, 0x32, 0x33};

struct Misbehaviour {
    const char* name;
    Bytes noise;  // sent before the preamble
    Bytes frame;  // sent after it: what the capture must hold
    unsigned result;
    std::string comment;
};

TEST(PtyCapture, EachReceivedPacketHoldsTheFrameAsTheDeviceSentItWithWhatWentWrong) {
    const Bytes answer = WithChecksum(Body(0x86, kAddress, 3, DynamicVariablesData()));
    Bytes badChecksum = answer;
    badChecksum.back() ^= 0x10;
    const std::vector<Misbehaviour> cases = {
        // The header and two data bytes, then silence.
        {"stops mid-reply",
         {},
         Bytes(answer.begin(), answer.begin() + 10),
         kLinkDataIncomplete,
         "incomplete frame: 10 bytes"},
        // Read whole only where the command equals the byte count: the link's rewrite takes
        // the byte count from where the command stood.
        {"answers with the alias address",
         {},
         WithChecksum(Body(0x86, kAliasAddress, 13, Concat({{0, 0}, Bytes(11, 0x60)}))),
         kLinkOk,
         ""},
        {"sends a bad checksum", {}, badChecksum, kLinkChecksumMismatch, "bad checksum: 25 bytes"},
        {"sends noise before the preamble",
         {0x12, 0x34, 0x56},
         answer,
         kLinkOk,
         "noise: 3 bytes before the preamble"},
    };
    ScopedConfigHome home;
    PtyPair pty;
    ASSERT_TRUE(pty.ok());
    ASSERT_TRUE(home.Link(PortLinkPath(212), pty.slavePath()));
    CSerial port;
    CHartLink link(port, SystemClock());
    std::ostringstream file;
    traffic::CPcapWriter writer(file);
    traffic::CWireTap tap(link.Clock(), traffic::WallClockNowUs(),
                          [&](traffic::TrafficFrame frame) { writer.Write(frame); });
    link.SetObserver(&tap);
    ASSERT_EQ(link.OpenPort(212, 1200), kLinkOk);

    const Bytes request = Written(5, Body(0x82, kAddress, 3, {}));
    std::thread device([&] {
        for (const Misbehaviour& m : cases) {
            const std::string heard = pty.Receive(request.size());
            const auto answerAt = scriptedline::AnswerTime(steady_clock::now(), request.size());
            if (heard.size() != request.size()) return;
            pty.Send(heard);  // the modem's echo while keyed
            std::this_thread::sleep_until(answerAt);
            const Bytes reply = Concat({m.noise, Bytes(5, hart::kPreambleByte), m.frame});
            pty.Send(std::string(reply.begin(), reply.end()));
        }
    });
    Bytes delivered;
    for (const Misbehaviour& m : cases) {
        SCOPED_TRACE(m.name);
        EXPECT_EQ(link.SendFrame(request.data(), request.size(), 500), kLinkOk);
        uint8_t reply[hart::kReplyBufferSize] = {};
        EXPECT_EQ(link.ReceiveFrame(true, reply, 200), m.result);
        if (m.frame[1] == 0x28) delivered.assign(reply, reply + 3);
    }
    device.join();
    link.ClosePort();
    // The link hands its callers the rewritten address; the capture keeps the line's.
    EXPECT_EQ(delivered, (Bytes{0x86, 0x2C, 0x0A}));

    ASSERT_TRUE(writer.Good());
    const std::string bytes = file.str();
    const auto packets = PcapRecords(Bytes(bytes.begin(), bytes.end()));
    ASSERT_EQ(packets.size(), 2 * cases.size());
    for (size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(cases[i].name);
        EXPECT_EQ(packets[2 * i].Pdu(), Bytes(request.begin() + 5, request.end()));
        EXPECT_EQ(packets[2 * i + 1].Direction(), traffic::Direction::Received);
        EXPECT_EQ(packets[2 * i + 1].Pdu(), cases[i].frame);
        EXPECT_EQ(packets[2 * i + 1].comment, cases[i].comment);
    }
}

}  // namespace
}  // namespace traffictest
