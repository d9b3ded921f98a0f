#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "OpenPortTest.h"

namespace {

using Clock = std::chrono::steady_clock;

class SerialTransferTest : public OpenPortTest {};

TEST_F(SerialTransferTest, ReturnAtOnceGivesWhatIsWaitingWithoutWaiting) {
    ASSERT_TRUE(line.Send("abc"));
    ASSERT_TRUE(line.WaitForInput(3));
    char buffer[10] = {};
    size_t received = 0;
    const auto start = Clock::now();
    EXPECT_EQ(kSerialSuccess, port.Read(buffer, sizeof buffer, &received, 5000));
    EXPECT_LT(ElapsedMs(start), 2500);
    ASSERT_EQ(3u, received);
    EXPECT_EQ("abc", std::string(buffer, 3));
}

TEST_F(SerialTransferTest, WaitForCountTimeOutDiscardsThePartialRead) {
    ASSERT_EQ(kSerialSuccess, port.SetHartLine(1200));
    ASSERT_TRUE(line.Send("abc"));
    ASSERT_TRUE(line.WaitForInput(3));

    char buffer[10] = {};
    size_t received = 99;
    EXPECT_EQ(kSerialTimeout, port.Read(buffer, sizeof buffer, &received, 200));
    EXPECT_EQ(0u, received);
    EXPECT_EQ(kSerialTimeout, port.LastError());

    ASSERT_TRUE(line.Send("xyz"));
    EXPECT_EQ(kSerialSuccess, port.Read(buffer, 3, &received, 2000));
    ASSERT_EQ(3u, received);
    EXPECT_EQ("xyz", std::string(buffer, 3)) << "the bytes of the timed-out read must be gone";
}

TEST_F(SerialTransferTest, WaitForCountReturnsAsSoonAsTheLastByteIsIn) {
    ASSERT_EQ(kSerialSuccess, port.SetHartLine(1200));
    // The device answers in two pieces, the second one while the read is waiting.
    std::thread device([this] {
        line.Send("01234");
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        line.Send("56789");
    });
    char buffer[10] = {};
    size_t received = 0;
    const auto start = Clock::now();
    const SerialStatus status = port.Read(buffer, sizeof buffer, &received, 10000);
    const long elapsed = ElapsedMs(start);
    device.join();
    EXPECT_EQ(kSerialSuccess, status);
    ASSERT_EQ(10u, received);
    EXPECT_EQ("0123456789", std::string(buffer, 10));
    EXPECT_LT(elapsed, 5000) << "the read must not sit out its time-out";
}

TEST_F(SerialTransferTest, WriteHandsTheWholeRequestToTheLine) {
    ASSERT_EQ(kSerialSuccess, port.SetHartLine(1200));
    const std::string request(300, '\xFF');
    size_t sent = 0;
    EXPECT_EQ(kSerialSuccess, port.Write(request.data(), request.size(), &sent, 2000));
    EXPECT_EQ(request.size(), sent);
    EXPECT_EQ(request, line.Receive(request.size()));
}

TEST_F(SerialTransferTest, WriteTimesOutWhenTheLineTakesNothingMore) {
    // Nobody reads the device side, so the pty's buffer fills and stays full.
    const std::string block(4096, 'x');
    size_t sent = 0;
    SerialStatus status = kSerialSuccess;
    for (int i = 0; i < 64 && status == kSerialSuccess; ++i) {
        status = port.Write(block.data(), block.size(), &sent, 100);
    }
    EXPECT_EQ(kSerialTimeout, status);
    EXPECT_EQ(0u, sent);
    EXPECT_TRUE(port.IsOpen());
}

TEST_F(SerialTransferTest, PurgeAndAbortAndFlushBothDiscardWaitingInput) {
    for (SerialStatus (CSerial::*flush)() : {&CSerial::Purge, &CSerial::AbortAndFlush}) {
        ASSERT_TRUE(line.Send("stale"));
        ASSERT_TRUE(line.WaitForInput(5));
        EXPECT_EQ(kSerialSuccess, (port.*flush)());
        char buffer[10];
        size_t received = 99;
        EXPECT_EQ(kSerialSuccess, port.Read(buffer, sizeof buffer, &received, 0));
        EXPECT_EQ(0u, received);
    }
}

TEST_F(SerialTransferTest, WaitEventSeesArrivingInputAndTimesOutOnASilentLine) {
    EXPECT_EQ(kSerialTimeout, port.WaitEvent(50));
    ASSERT_TRUE(line.Send("!"));
    EXPECT_EQ(kSerialSuccess, port.WaitEvent(2000));
}

TEST_F(SerialTransferTest, VanishedDeviceGivesAnErrorInsteadOfAWait) {
    ASSERT_EQ(kSerialSuccess, port.SetHartLine(1200));
    line.CloseMaster();

    char buffer[10];
    size_t count = 99;
    const auto start = Clock::now();
    const SerialStatus readStatus = port.Read(buffer, sizeof buffer, &count, 5000);
    EXPECT_NE(kSerialSuccess, readStatus);
    EXPECT_NE(kSerialTimeout, readStatus);
    EXPECT_EQ(0u, count);
    EXPECT_LT(ElapsedMs(start), 2500);

    const SerialStatus writeStatus = port.Write("x", 1, &count, 5000);
    EXPECT_NE(kSerialSuccess, writeStatus);
    EXPECT_NE(kSerialTimeout, writeStatus);
    EXPECT_EQ(0u, count);

    ASSERT_EQ(kSerialSuccess, port.SetReadMode(CSerial::ReturnAtOnce));
    EXPECT_NE(kSerialSuccess, port.Read(buffer, sizeof buffer, &count, 0));
    EXPECT_EQ(kSerialSuccess, port.Close());
}

TEST(SerialClosedTest, TransfersOnAClosedObjectReportInvalidHandleAndZeroCounts) {
    CSerial port;
    char buffer[4] = {};
    size_t count = 99;
    EXPECT_EQ(kSerialInvalidHandle, port.Read(buffer, sizeof buffer, &count, 100));
    EXPECT_EQ(0u, count);
    count = 99;
    EXPECT_EQ(kSerialInvalidHandle, port.Write(buffer, sizeof buffer, &count, 100));
    EXPECT_EQ(0u, count);
    count = 99;
    EXPECT_EQ(kSerialInvalidHandle, port.WriteString("x", &count, 100));
    EXPECT_EQ(0u, count);
    EXPECT_EQ(kSerialInvalidHandle, port.LastError());
}

TEST(SerialClosedTest, EveryOtherOperationOnAClosedObjectReportsInvalidHandle) {
    CSerial port;
    EXPECT_EQ(kSerialInvalidHandle, port.SetLineFormat(9600, 8, 0, 0));
    EXPECT_EQ(kSerialInvalidHandle, port.SetHartLine(1200));
    EXPECT_EQ(kSerialInvalidHandle, port.SetReadMode(CSerial::WaitForCount));
    EXPECT_EQ(kSerialInvalidHandle, port.SetHandshake(CSerial::HandshakeOff));
    EXPECT_EQ(kSerialInvalidHandle, port.SetEventMask(1));
    EXPECT_EQ(kSerialInvalidHandle, port.SetEventChar('x', true));
    EXPECT_EQ(kSerialInvalidHandle, port.WaitEvent(10));
    EXPECT_EQ(kSerialInvalidHandle, port.Purge());
    EXPECT_EQ(kSerialInvalidHandle, port.SetRts(true));
    EXPECT_EQ(kSerialInvalidHandle, port.AbortAndFlush());
    EXPECT_EQ(-1, port.GetBaudRate());
    EXPECT_EQ(-1, port.GetByteSize());
    EXPECT_EQ(-1, port.GetParity());
    EXPECT_EQ(-1, port.GetStopBits());
    EXPECT_EQ(-1, port.GetHandshake());
    EXPECT_EQ(0u, port.GetEventMask());
    EXPECT_EQ(0, port.GetEventChar());
    EXPECT_EQ(kSerialInvalidHandle, port.LastError());
}

}  // namespace
