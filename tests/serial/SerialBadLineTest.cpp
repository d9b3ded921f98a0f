// The serial port on a line that misbehaves or is given up: waits a wake-up ends, bytes
// received with errors, a tty that keeps other settings, a holder that crashed.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>

#include <chrono>
#include <thread>

#include "OpenPortTest.h"
#include "serial/KernelConsole.h"
#include "serial/LineSettings.h"
#include "serial/MarkedInput.h"

namespace {

using Clock = std::chrono::steady_clock;

class SerialBadLineTest : public OpenPortTest {};

TEST_F(SerialBadLineTest, AWakeUpEndsAWaitingReadAndEveryWaitUntilCleared) {
    ASSERT_EQ(kSerialSuccess, port.SetHartLine(1200));
    ASSERT_TRUE(line.Send("ab"));  // part of what the read waits for
    std::thread stopper([this] {
        // Once the read has taken the two bytes it is waiting for the rest.
        line.WaitForInputTaken();
        port.Wakeup().Signal();
    });
    uint8_t buffer[8];
    size_t received = 99;
    const auto start = Clock::now();
    EXPECT_EQ(kSerialInterrupted, port.Read(buffer, sizeof buffer, &received, 10000));
    stopper.join();
    EXPECT_LT(ElapsedMs(start), 2000);
    EXPECT_EQ(0u, received);

    // Still signalled: the next waits end at once, the drain too.
    EXPECT_EQ(kSerialInterrupted, port.Read(buffer, 1, &received, 10000));
    EXPECT_EQ(kSerialInterrupted, port.WaitEvent(10000));
    port.Wakeup().Clear();
    ASSERT_TRUE(line.Send("z"));
    EXPECT_EQ(kSerialSuccess, port.Read(buffer, 1, &received, 2000));
    EXPECT_EQ('z', buffer[0]) << "what the interrupted read had taken is discarded";
}

TEST_F(SerialBadLineTest, BytesReachTheReaderAsReceivedWithParityCheckingOn) {
    ASSERT_EQ(kSerialSuccess, port.SetHartLine(1200));
    const termios settings = line.LineSettings();
    EXPECT_TRUE(settings.c_iflag & INPCK);
    EXPECT_TRUE(settings.c_iflag & PARMRK) << "a bad byte must be marked, not turned into 0x00";
    EXPECT_FALSE(settings.c_iflag & IGNPAR);

    // The line discipline doubles each 0xFF; the reader sees the bytes as they came.
    ASSERT_TRUE(line.Send(std::string("\xFF\xFF\x00\x12\xFF", 5)));
    uint8_t buffer[5] = {};
    size_t received = 0;
    ASSERT_EQ(kSerialSuccess, port.Read(buffer, 5, &received, 2000));
    EXPECT_EQ(std::string("\xFF\xFF\x00\x12\xFF", 5),
              std::string(reinterpret_cast<char*>(buffer), received));
    EXPECT_EQ(0u, port.LineErrorCounts().marked);
}

TEST(LineFormatReadBackTest, ATtyThatKeptOtherSettingsHasNotTakenTheFormat) {
    termios readBack{};
    readBack.c_cflag = CS8 | PARENB | PARODD;
    const tcflag_t odd8 = CS8 | PARENB | PARODD;
    EXPECT_TRUE(line_settings::FormatTaken(readBack, 1200, 1200, odd8, false));
    EXPECT_FALSE(line_settings::FormatTaken(readBack, 9600, 1200, odd8, false)) << "speed kept";
    readBack.c_cflag = CS8 | PARODD;  // parity dropped
    EXPECT_FALSE(line_settings::FormatTaken(readBack, 1200, 1200, odd8, false));
    EXPECT_TRUE(line_settings::FormatTaken(readBack, 1200, 1200, odd8, true))
        << "a pty has no parity to drop";
    readBack.c_cflag = CS7 | PARENB | PARODD;
    EXPECT_FALSE(line_settings::FormatTaken(readBack, 1200, 1200, odd8, true));
}

TEST_F(SerialBadLineTest, ClosingPutsBackTheSettingsTheLineHadBefore) {
    port.Close();
    termios before = line.LineSettings();
    before.c_lflag |= ICANON | ECHO;
    cfsetospeed(&before, B9600);
    cfsetispeed(&before, B9600);
    ASSERT_EQ(0, tcsetattr(line.SlaveFd(), TCSANOW, &before));
    before = line.LineSettings();

    ASSERT_EQ(kSerialSuccess, port.Open(line.path(), kQueue, kQueue));
    ASSERT_EQ(kSerialSuccess, port.SetHartLine(1200));
    const termios hart = line.LineSettings();
    EXPECT_EQ(B1200, cfgetospeed(&hart));
    port.Close();

    const termios after = line.LineSettings();
    EXPECT_EQ(B9600, cfgetospeed(&after));
    EXPECT_EQ(before.c_lflag, after.c_lflag);
    EXPECT_EQ(before.c_iflag, after.c_iflag);
    EXPECT_EQ(before.c_cflag, after.c_cflag);
}

TEST_F(SerialBadLineTest, APortIsFreeForEveryoneOnceTheProcessHoldingItIsGone) {
    port.Close();
    const pid_t holder = fork();
    ASSERT_GE(holder, 0);
    if (holder == 0) {
        CSerial crashing;
        _exit(crashing.Open(line.path(), kQueue, kQueue) == kSerialSuccess ? 0 : 1);  // no Close
    }
    int status = 0;
    ASSERT_EQ(holder, waitpid(holder, &status, 0));
    ASSERT_EQ(0, WEXITSTATUS(status));

    int exclusive = -1;
    ASSERT_EQ(0, ioctl(line.SlaveFd(), TIOCGEXCL, &exclusive));
    EXPECT_EQ(0, exclusive) << "a flag left on the pty would lock out every user but root";
    EXPECT_EQ(kSerialSuccess, port.Open(line.path(), kQueue, kQueue));
}

TEST_F(SerialBadLineTest, DrainingAPtyReturnsAtOnceUnlessWoken) {
    ASSERT_EQ(kSerialSuccess, port.SetHartLine(1200));
    size_t sent = 0;
    ASSERT_EQ(kSerialSuccess, port.Write("hello", 5, &sent, 500));
    const auto start = Clock::now();
    EXPECT_EQ(kSerialSuccess, port.DrainOutput(500));
    EXPECT_LT(ElapsedMs(start), 400);
}

TEST(SerialConsoleTest, AConsoleIsRefusedBeforeItIsOpened) {
    PtyPair console;
    ASSERT_TRUE(console.ok());
    // A fake /proc that lists the pty as the console; the fake /sys has nothing.
    const std::string roots = testing::TempDir() + "tralvo-console-roots";
    std::filesystem::create_directories(roots + "/proc");
    struct stat info {};
    ASSERT_EQ(0, stat(console.path(), &info));
    FILE* consoles = fopen((roots + "/proc/consoles").c_str(), "w");
    ASSERT_NE(nullptr, consoles);
    fprintf(consoles, "ttyFAKE              -W- (EC  p a)  %u:%u\n", major(info.st_rdev),
            minor(info.st_rdev));
    fclose(consoles);

    CSerial port({roots + "/sys", roots + "/proc"});
    EXPECT_EQ(kSerialKernelConsole, port.Open(console.path(), kQueue, kQueue));
    EXPECT_FALSE(port.IsOpen());
}

TEST(MarkedInputTest, MarksAreUndoneAndBadBytesCountedAcrossReads) {
    CMarkedInput input;
    const uint8_t first[] = {0x41, 0xFF, 0xFF, 0xFF, 0x00};  // A, 0xFF, then a bad byte begins
    const uint8_t second[] = {0x13, 0xFF};                   // ... 0x13, then half a 0xFF
    const uint8_t third[] = {0xFF, 0x42};
    uint8_t out[8];
    ASSERT_EQ(2u, input.Decode(first, sizeof first, out));
    EXPECT_EQ(0x41, out[0]);
    EXPECT_EQ(0xFF, out[1]);
    ASSERT_EQ(1u, input.Decode(second, sizeof second, out));
    EXPECT_EQ(0x13, out[0]);
    EXPECT_EQ(1u, input.MarkedBytes());
    ASSERT_EQ(2u, input.Decode(third, sizeof third, out));
    EXPECT_EQ(0xFF, out[0]);
    EXPECT_EQ(0x42, out[1]);
}

}  // namespace
