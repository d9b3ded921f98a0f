// A failed exchange is named by what the line showed, against a scripted device on a pty
// that keeps a 1200-baud line's timing.
#include <chrono>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "hart/HartFrame.h"
#include "hart/HartLink.h"
#include "serial/ComPortMap.h"
#include "serial/Serial.h"
#include "tests/integration/ScriptedLine.h"
#include "tests/serial/PtyPair.h"
#include "tests/serial/ScopedConfigHome.h"
#include "traffic/LineDiagnosis.h"
#include "traffic/WireTap.h"

namespace {

using namespace std::chrono;
using traffic::LineClass;

constexpr uint8_t kComPort = 212;
using scriptedline::AnswerTime;
using scriptedline::Frame;

// What the device does on hearing the identity poll of address 0.
struct Line {
    const char* name;
    bool echoes;        // hands the request straight back, as a keyed modem does
    std::string reply;  // sent after the request's on-air time and a turnaround
    LineClass expected;
};

void PrintTo(const Line& line, std::ostream* out) { *out << line.name; }

std::string WithBadChecksum(std::string frame) {
    frame.back() = static_cast<char>(frame.back() ^ 0x5A);
    return frame;
}

const std::string kAnswerBody("\x06\x00\x00\x04\x00\x00\xAA\xBB", 8);

class LineDiagnosisOnPty : public ::testing::TestWithParam<Line> {};

TEST_P(LineDiagnosisOnPty, NamesWhatTheLineShowed) {
    const Line& line = GetParam();
    ScopedConfigHome home;
    PtyPair pty;
    ASSERT_TRUE(pty.ok());
    ASSERT_TRUE(home.Link(PortLinkPath(kComPort), pty.slavePath()));
    CSerial port;
    CHartLink link(port, SystemClock());
    traffic::CLineDiagnosis diagnosis;
    traffic::CWireTap tap(SystemClock(), 0,
                          [&](traffic::TrafficFrame frame) { diagnosis.Add(frame); });
    link.SetObserver(&tap);
    ASSERT_EQ(link.OpenPort(kComPort, 1200), kLinkOk);

    const std::string poll = Frame(5, std::string("\x02\x80\x00\x00", 4));
    std::thread device([&] {
        const std::string request = pty.Receive(poll.size());
        const auto heard = steady_clock::now();
        if (line.echoes) pty.Send(request);
        std::this_thread::sleep_until(AnswerTime(heard, poll.size()));
        if (!line.reply.empty()) pty.Send(line.reply);
    });
    const auto* request = reinterpret_cast<const uint8_t*>(poll.data());
    uint8_t reply[hart::kReplyBufferSize] = {};
    ASSERT_EQ(link.SendFrame(request, poll.size(), 500), kLinkOk);
    link.ReceiveFrame(false, reply, 150);
    device.join();
    link.ClosePort();

    ASSERT_TRUE(diagnosis.Verdict().has_value());
    EXPECT_EQ(traffic::LineClassKey(*diagnosis.Verdict()), traffic::LineClassKey(line.expected));
}

INSTANTIATE_TEST_SUITE_P(
    EachClass, LineDiagnosisOnPty,
    ::testing::Values(
        Line{"silent", false, "", LineClass::Silent},
        Line{"echo_only", true, "", LineClass::EchoOnly},
        Line{"noise", false, std::string("\x12\x34\x56\x78\x9A", 5), LineClass::Noise},
        Line{"corrupt", false, WithBadChecksum(Frame(5, kAnswerBody)), LineClass::Corrupt},
        Line{"other_address", false, Frame(5, std::string("\x06\x05\x00\x02\x00\x00", 6)),
             LineClass::OtherAddress},
        Line{"busy", false, Frame(5, std::string("\x06\x00\x00\x02\x20\x00", 6)), LineClass::Busy}),
    [](const ::testing::TestParamInfo<Line>& info) { return std::string(info.param.name); });

TEST(LineDiagnosis, HasNoVerdictWhileEveryAnswerWasUsable) {
    traffic::CLineDiagnosis diagnosis;
    traffic::TrafficFrame request;
    request.bytes = {0xFF, 0xFF, 0x02, 0x80, 0x00, 0x00, 0x82};
    diagnosis.Add(request);
    traffic::TrafficFrame answer;
    answer.direction = traffic::Direction::Received;
    const std::string frame = Frame(2, kAnswerBody);
    answer.bytes.assign(frame.begin(), frame.end());
    answer.frameStart = 2;
    diagnosis.Add(answer);
    EXPECT_FALSE(diagnosis.Verdict().has_value());
}

}  // namespace
