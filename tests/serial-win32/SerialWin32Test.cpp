// The Win32 backend against a port whose line comes straight back (loopback plug or
// echoing pty): the exclusive open, time-outs, purge, the wake-up and the restore at close.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "serial/Serial.h"

namespace {

using Clock = std::chrono::steady_clock;

long ElapsedMs(Clock::time_point since) {
    return static_cast<long>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - since).count());
}

std::string EchoPort() {
    const char* name = std::getenv("TRALVO_ECHO_PORT");
    return name ? name : "";
}

// The port as Windows itself sees it, for what the class does not tell.
class PortWithHandle : public CSerial {
public:
    HANDLE Handle() const { return reinterpret_cast<HANDLE>(m_port); }
    DWORD BytesWaiting() const {
        COMSTAT status{};
        DWORD errors = 0;
        return ClearCommError(Handle(), &errors, &status) ? status.cbInQue : 0;
    }
};

class SerialWin32Test : public ::testing::Test {
protected:
    void SetUp() override {
        if (EchoPort().empty()) GTEST_SKIP() << "TRALVO_ECHO_PORT names no looped-back port";
        ASSERT_EQ(kSerialSuccess, port.Open(EchoPort().c_str(), 2048, 2048));
        ASSERT_EQ(kSerialSuccess, port.SetHartLine(1200));
    }
    // Waits, with a deadline, until the echo of `count` bytes is in the driver.
    bool EchoArrived(DWORD count) const {
        const auto start = Clock::now();
        while (port.BytesWaiting() < count) {
            if (ElapsedMs(start) > 2000) return false;
            Sleep(1);
        }
        return true;
    }
    PortWithHandle port;
};

TEST(SerialWin32OpenTest, AMissingPortReportsWindowsErrorWithItsSystemText) {
    CSerial port;
    const SerialStatus status = port.Open("\\\\.\\COM254", 2048, 2048);
    EXPECT_TRUE(status == ERROR_FILE_NOT_FOUND || status == ERROR_PATH_NOT_FOUND) << status;
    EXPECT_FALSE(port.IsOpen());
    EXPECT_NE(std::string("error ") + std::to_string(status), SerialStatusText(status));
    EXPECT_NE('\n', std::string(SerialStatusText(status)).back());
    uint8_t byte = 0;
    size_t got = 99;
    EXPECT_EQ(kSerialInvalidHandle, port.Read(&byte, 1, &got, 10));
    EXPECT_EQ(0u, got);
}

TEST_F(SerialWin32Test, ASecondOpenOfTheHeldPortIsRefused) {
    CSerial second;
    const SerialStatus status = second.Open(EchoPort().c_str(), 2048, 2048);
    if (status == kSerialSuccess) GTEST_SKIP() << "this system (Wine) grants a second open";
    EXPECT_EQ(ERROR_ACCESS_DENIED, status);
    EXPECT_FALSE(second.IsOpen());
    EXPECT_EQ(kSerialAlreadyOpen, port.Open(EchoPort().c_str(), 2048, 2048));
}

TEST_F(SerialWin32Test, AReadEndsWhenItsBytesAreInAndTimesOutOnAShortArrival) {
    const uint8_t request[4] = {0x82, 0x00, 0xFF, 0x7E};
    ASSERT_EQ(kSerialSuccess, port.Write(request, sizeof request, nullptr, 500));
    uint8_t reply[10] = {};
    size_t got = 99;
    const auto start = Clock::now();
    ASSERT_EQ(kSerialSuccess, port.Read(reply, sizeof request, &got, 2000));
    EXPECT_LT(ElapsedMs(start), 1000);
    EXPECT_EQ(sizeof request, got);
    EXPECT_EQ(0, memcmp(request, reply, sizeof request));

    // Three bytes of ten: the time-out, no count, and the three are gone.
    ASSERT_EQ(kSerialSuccess, port.Write(request, 3, nullptr, 500));
    ASSERT_TRUE(EchoArrived(3));
    EXPECT_EQ(kSerialTimeout, port.Read(reply, sizeof reply, &got, 150));
    EXPECT_EQ(0u, got);
    EXPECT_EQ(kSerialInvalidArg, port.SetReadMode(2));
    ASSERT_EQ(kSerialSuccess, port.SetReadMode(CSerial::ReturnAtOnce));
    EXPECT_EQ(kSerialSuccess, port.Read(reply, sizeof reply, &got, 150));
    EXPECT_EQ(0u, got);
}

TEST_F(SerialWin32Test, PurgeDropsWhatArrivedAndAReturnAtOnceReadTakesWhatIsThere) {
    const uint8_t bytes[5] = {1, 2, 3, 4, 5};
    ASSERT_EQ(kSerialSuccess, port.SetReadMode(CSerial::ReturnAtOnce));
    ASSERT_EQ(kSerialSuccess, port.Write(bytes, 3, nullptr, 500));
    ASSERT_TRUE(EchoArrived(3));
    uint8_t got[10] = {};
    size_t count = 0;
    const auto start = Clock::now();
    ASSERT_EQ(kSerialSuccess, port.Read(got, sizeof got, &count, 1000));
    EXPECT_LT(ElapsedMs(start), 500);
    EXPECT_EQ(3u, count);

    ASSERT_EQ(kSerialSuccess, port.Write(bytes, sizeof bytes, nullptr, 500));
    ASSERT_TRUE(EchoArrived(sizeof bytes));
    ASSERT_EQ(kSerialSuccess, port.Purge());
    EXPECT_EQ(kSerialSuccess, port.Read(got, sizeof got, &count, 100));
    EXPECT_EQ(0u, count);
}

TEST_F(SerialWin32Test, AWakeUpEndsAPendingReadWithinAFifthOfASecond) {
    uint8_t reply[10] = {};
    size_t got = 99;
    Clock::time_point signalledAt;
    std::thread stopper([&] {
        Sleep(100);  // the read is under way by then; the latency counts from the signal
        signalledAt = Clock::now();
        port.Wakeup().Signal();
    });
    const SerialStatus status = port.Read(reply, sizeof reply, &got, 5000);
    const long latency = ElapsedMs(signalledAt);
    stopper.join();
    port.Wakeup().Clear();
    EXPECT_EQ(kSerialInterrupted, status);
    EXPECT_EQ(0u, got);
    EXPECT_LE(latency, 200);
}

TEST_F(SerialWin32Test, CloseLeavesTheLineAsItWasFound) {
    ASSERT_EQ(kSerialSuccess, port.Close());
    const std::wstring name(EchoPort().begin(), EchoPort().end());
    const auto lineState = [&name](DCB* change) {
        DCB state{};
        state.DCBlength = sizeof state;
        const HANDLE raw = CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                       OPEN_EXISTING, 0, nullptr);
        EXPECT_NE(INVALID_HANDLE_VALUE, raw);
        EXPECT_TRUE(GetCommState(raw, &state));
        if (change) {
            state.BaudRate = change->BaudRate;
            state.StopBits = change->StopBits;
            EXPECT_TRUE(SetCommState(raw, &state));
        }
        CloseHandle(raw);
        return state;
    };
    DCB found{};
    found.BaudRate = 4800;
    found.StopBits = TWOSTOPBITS;
    lineState(&found);

    ASSERT_EQ(kSerialSuccess, port.Open(EchoPort().c_str(), 2048, 2048));
    ASSERT_EQ(kSerialSuccess, port.SetHartLine(1200));
    EXPECT_EQ(1200, port.GetBaudRate());
    EXPECT_EQ(kSerialSuccess, port.Close());
    const DCB after = lineState(nullptr);
    EXPECT_EQ(4800u, after.BaudRate);
    EXPECT_EQ(TWOSTOPBITS, after.StopBits);
}

}  // namespace
