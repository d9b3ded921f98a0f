// The capture against devices that misbehave, end to end: the link over a pty pair, its
// observer a wire tap whose records go into the pcapng writer, and the file parsed again.
// The scripted device keeps the timing of a 1200-baud line: it hears the request's last
// byte after its on-air time and answers after a turnaround.
#include <chrono>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "hart/HartFrame.h"
#include "hart/HartLink.h"
#include "serial/ComPortMap.h"
#include "serial/Serial.h"
#include "tests/serial/PtyPair.h"
#include "tests/serial/ScopedConfigHome.h"
#include "tests/traffic/PcapRecords.h"
#include "traffic/PcapWriter.h"
#include "traffic/WireTap.h"

namespace {

using namespace std::chrono;
using Bytes = std::vector<uint8_t>;

constexpr uint8_t kComPort = 212;
constexpr double kByteMs = 11.0 * 1000.0 / 1200.0;
constexpr milliseconds kTurnaround{20};
constexpr uint32_t kWaitMs = 200;

Bytes WithChecksum(Bytes body) {
    body.push_back(hart::Checksum(body.data(), body.size()));
    return body;
}

Bytes Concat(const Bytes& a, const Bytes& b) {
    Bytes all = a;
    all.insert(all.end(), b.begin(), b.end());
    return all;
}

const Bytes kPreambles(5, hart::kPreambleByte);
// Command 3 to a long address, and an answer to it (response code, status, current, PV).
const Bytes kRequestBody{0x82, 0x26, 0x06, 0x12, 0x34, 0x56, 0x03, 0x00};
const Bytes kAnswerData{0x00, 0x00, 0x41, 0x40, 0x00, 0x00, 0x0C, 0x42, 0x48, 0x00, 0x00};

Bytes Answer(uint8_t manufacturer, uint8_t type, uint8_t command = 0x03,
             const Bytes& data = kAnswerData) {
    Bytes body{0x86, manufacturer, type, 0x31, 0x32, 0x33, command};
    body.push_back(static_cast<uint8_t>(data.size()));
    return WithChecksum(Concat(body, data));
}

// An alias-address answer the link reads whole: its rewrite takes the byte count from
// where the command stood.
Bytes AliasAnswer() { return Answer(0x28, 0x61, 0x0D, Concat(Bytes(2, 0x00), Bytes(11, 0x60))); }

struct Misbehaviour {
    const char* name;
    Bytes noise;  // sent before the preamble
    Bytes frame;  // sent after it: what the capture must hold
    unsigned result;
    std::string comment;
};

std::vector<Misbehaviour> Misbehaviours() {
    Bytes cutShort = Answer(0x26, 0x06);
    cutShort.resize(8 + 2);  // the header and two data bytes, then silence
    Bytes badChecksum = Answer(0x26, 0x06);
    badChecksum.back() ^= 0x10;
    return {
        {"stops mid-reply", {}, cutShort, kLinkDataIncomplete, "incomplete frame: 10 bytes"},
        {"answers with the alias address", {}, AliasAnswer(), kLinkOk, ""},
        {"sends a bad checksum", {}, badChecksum, kLinkChecksumMismatch, "bad checksum: 20 bytes"},
        {"sends noise before the preamble",
         {0x12, 0x34, 0x56},
         Answer(0x26, 0x06),
         kLinkOk,
         "noise: 3 bytes before the preamble"},
    };
}

TEST(PtyCapture, EachReceivedPacketHoldsTheFrameAsTheDeviceSentItWithWhatWentWrong) {
    ScopedConfigHome home;
    PtyPair pty;
    ASSERT_TRUE(pty.ok());
    ASSERT_TRUE(home.Link(PortLinkPath(kComPort), pty.slavePath()));
    CSerial port;
    CHartLink link(port, SystemClock());
    std::ostringstream file;
    traffic::CPcapWriter writer(file);
    traffic::CWireTap tap(link.Clock(), traffic::WallClockNowUs(),
                          [&](traffic::TrafficFrame frame) { writer.Write(frame); });
    link.SetObserver(&tap);
    ASSERT_EQ(link.OpenPort(kComPort, 1200), kLinkOk);

    const std::vector<Misbehaviour> cases = Misbehaviours();
    const Bytes request = Concat(kPreambles, WithChecksum(kRequestBody));
    std::thread device([&] {
        for (const Misbehaviour& m : cases) {
            const std::string heard = pty.Receive(request.size());
            const auto firstByte = steady_clock::now();
            if (heard.size() != request.size()) return;
            pty.Send(heard);  // the modem's echo while keyed
            std::this_thread::sleep_until(firstByte +
                                          duration_cast<microseconds>(duration<double, std::milli>(
                                              static_cast<double>(request.size()) * kByteMs)) +
                                          kTurnaround);
            const Bytes reply = Concat(Concat(m.noise, kPreambles), m.frame);
            pty.Send(std::string(reply.begin(), reply.end()));
        }
    });
    std::vector<uint8_t> delivered;
    for (const Misbehaviour& m : cases) {
        SCOPED_TRACE(m.name);
        EXPECT_EQ(link.SendFrame(request.data(), request.size(), 500), kLinkOk);
        uint8_t reply[hart::kReplyBufferSize] = {};
        EXPECT_EQ(link.ReceiveFrame(true, reply, kWaitMs), m.result);
        if (m.frame[1] == 0x28) delivered.assign(reply, reply + 3);
    }
    device.join();
    link.ClosePort();
    // The link hands its callers the rewritten address; the capture keeps the line's.
    EXPECT_EQ(delivered, (Bytes{0x86, 0x2C, 0x0A}));

    ASSERT_TRUE(writer.Good());
    const std::string bytes = file.str();
    const auto packets = traffictest::PcapRecords(Bytes(bytes.begin(), bytes.end()));
    ASSERT_EQ(packets.size(), 2 * cases.size());
    for (size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(cases[i].name);
        const traffictest::PcapRecord& sent = packets[2 * i];
        const traffictest::PcapRecord& received = packets[2 * i + 1];
        EXPECT_EQ(sent.Direction(), traffic::Direction::Sent);
        EXPECT_EQ(sent.Pdu(), WithChecksum(kRequestBody));
        EXPECT_EQ(received.Direction(), traffic::Direction::Received);
        EXPECT_EQ(received.Pdu(), cases[i].frame);
        EXPECT_EQ(received.comment, cases[i].comment);
    }
}

}  // namespace
