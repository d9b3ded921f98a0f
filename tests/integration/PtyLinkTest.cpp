// One request and its reply over a pty pair, in real time, against a scripted device that
// keeps the timing of a 1200-baud line: it hears the last byte only after the request's
// on-air time and answers after a turnaround.
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

namespace {

using namespace std::chrono;

constexpr uint8_t kComPort = 211;
using scriptedline::AnswerTime;
using scriptedline::Frame;

class PtyLink : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_pty.ok());
        ASSERT_TRUE(m_home.Link(PortLinkPath(kComPort), m_pty.slavePath()));
        ASSERT_EQ(m_link.OpenPort(kComPort, 1200), kLinkOk);
    }
    void TearDown() override {
        if (m_device.joinable()) m_device.join();
        m_link.ClosePort();
    }

    // The device hears a request of `length` bytes, echoes it at once as a modem does while
    // keyed, and sends `reply` once the request is off the air and the turnaround is over.
    void PlayDevice(size_t length, std::string reply) {
        m_device = std::thread([this, length, reply = std::move(reply)] {
            const std::string request = m_pty.Receive(length);
            const auto firstByte = steady_clock::now();
            m_heard = request;
            m_pty.Send(request);
            std::this_thread::sleep_until(AnswerTime(firstByte, length));
            m_pty.Send(reply);
        });
    }

    ScopedConfigHome m_home;
    PtyPair m_pty;
    CSerial m_port;
    CHartLink m_link{m_port, SystemClock()};
    std::thread m_device;
    std::string m_heard;
    uint8_t m_reply[hart::kReplyBufferSize] = {};
};

TEST_F(PtyLink, TheReplyAfterTheRequestIsDeliveredAndTheEchoIsNot) {
    const std::string poll = Frame(20, std::string("\x02\x00\x00\x00", 4));
    const std::string body("\x06\x00\x00\x04\x00\x00\xAA\xBB", 8);
    PlayDevice(poll.size(), Frame(5, body));

    const auto* request = reinterpret_cast<const uint8_t*>(poll.data());
    ASSERT_EQ(m_link.SendFrame(request, poll.size(), 500), kLinkOk);
    ASSERT_EQ(m_link.ReceiveFrame(false, m_reply, 500), kLinkOk);
    m_device.join();

    EXPECT_EQ(m_heard, poll);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(m_reply), body.size()), body);
}

TEST_F(PtyLink, ACorruptedReplyOnTheLineIsReportedAsChecksumMismatch) {
    const std::string request = Frame(5, std::string("\x02\x00\x04\x01\x01", 5));
    std::string reply = Frame(5, std::string("\x06\x00\x04\x03\x00\x00\x31", 7));
    reply.back() = static_cast<char>(reply.back() ^ 0x10);
    PlayDevice(request.size(), reply);

    ASSERT_EQ(
        m_link.SendFrame(reinterpret_cast<const uint8_t*>(request.data()), request.size(), 500),
        kLinkOk);
    EXPECT_EQ(m_link.ReceiveFrame(false, m_reply, 500), kLinkChecksumMismatch);
    EXPECT_EQ(m_reply[0], 0);
}

}  // namespace
