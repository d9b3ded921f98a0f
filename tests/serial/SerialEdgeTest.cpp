// The serial port where the system lets it down.
#include <gtest/gtest.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>

#include <atomic>
#include <cstddef>
#include <fstream>
#include <memory>
#include <thread>

#include "OpenPortTest.h"
#include "serial/PortIo.h"

namespace {

using SerialEdgeTest = OpenPortTest;

// TCGETS2 and TCSETS2, spelled without struct termios2, which clashes with <termios.h>.
constexpr unsigned kGetSettings2 = _IOR('T', 0x2A, char[44]);
constexpr unsigned kSetSettings2 = _IOW('T', 0x2B, char[44]);

TEST(SerialWakeupTest, APortNothingCouldWakeDoesNotOpen) {
#if defined(__SANITIZE_ADDRESS__)
    // The sanitizers probe memory through a pipe; without descriptors they report the
    // object under construction as invalid.
    GTEST_SKIP() << "needs descriptors the sanitizers take";
#endif
    PtyPair line;
    ASSERT_TRUE(line.ok());
    rlimit saved{};
    ASSERT_EQ(0, getrlimit(RLIMIT_NOFILE, &saved));
    const int lowestFree = dup(0);
    close(lowestFree);
    rlimit full = saved;
    full.rlim_cur = static_cast<rlim_t>(lowestFree);  // no descriptor left to create
    ASSERT_EQ(0, setrlimit(RLIMIT_NOFILE, &full));
    auto port = std::make_unique<CSerial>();
    ASSERT_EQ(0, setrlimit(RLIMIT_NOFILE, &saved));

    EXPECT_EQ(EMFILE, port->Open(line.path(), kQueue, kQueue));
    EXPECT_FALSE(port->IsOpen());
}

// Opens and closes the line in a child process in which every ioctl `request` fails with
// EIO; true when Open and Close returned `opened` and `closed` and the port ended closed.
bool OpenAndCloseWhereIoctlFails(unsigned request, const char* path, SerialStatus opened,
                                 SerialStatus closed) {
    const pid_t child = fork();
    if (child == 0) {
        sock_filter filter[] = {
            BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
            BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_ioctl, 0, 3),
            BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, args[1])),
            BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, request, 0, 1),
            BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | EIO),
            BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
        };
        sock_fprog program{static_cast<unsigned short>(std::size(filter)), filter};
        if (prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0 ||
            prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) != 0)
            _exit(2);
        CSerial port;
        const bool asExpected =
            port.Open(path, kQueue, kQueue) == opened && port.Close() == closed && !port.IsOpen();
        _exit(asExpected ? 0 : 1);
    }
    int status = -1;
    return child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) &&
           WEXITSTATUS(status) == 0;
}

TEST_F(SerialEdgeTest, SettingsThatCannotBeReadOrPutBackAreReported) {
    port.Close();  // the child opens the line
    EXPECT_TRUE(OpenAndCloseWhereIoctlFails(kGetSettings2, line.path(), EIO, kSerialSuccess))
        << "the settings found at open could never be put back";
    EXPECT_TRUE(OpenAndCloseWhereIoctlFails(kSetSettings2, line.path(), kSerialSuccess, EIO))
        << "a line left as this program set it is reported";
}

TEST_F(SerialEdgeTest, AFormatThePtyDidNotTakeIsRefusedAndChangesNothing) {
    ASSERT_EQ(kSerialSuccess,
              port.SetLineFormat(4800, 8, CSerial::kOddParity, CSerial::kTwoStopBits));
    // A pty always keeps 8 data bits; the speed and parity it could take stay as they were.
    EXPECT_EQ(kSerialLineRefused, port.SetLineFormat(1200, 7, CSerial::kEvenParity, 0));
    EXPECT_EQ(8, port.GetByteSize());
    EXPECT_EQ(4800, port.GetBaudRate());
    EXPECT_EQ(CSerial::kOddParity, port.GetParity());
    EXPECT_EQ(CSerial::kTwoStopBits, port.GetStopBits());
}

// Whether the thread is asleep in the kernel (in its wait), from /proc.
bool Sleeping(pid_t thread) {
    std::ifstream stat("/proc/self/task/" + std::to_string(thread) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), {});
    const auto end = text.rfind(')');
    return end != std::string::npos && text.compare(end + 2, 1, "S") == 0;
}

TEST_F(SerialEdgeTest, BytesTheDriverHoldsWhenAReadTimesOutAreDiscarded) {
    ASSERT_EQ(kSerialSuccess, port.SetHartLine(1200));
    // Bytes that reach the driver but not the waiting read before the deadline, as a UART's
    // last ones: with VMIN 4 the pty does not wake a wait for 3.
    termios settings = line.LineSettings();
    settings.c_cc[VMIN] = 4;
    ASSERT_EQ(0, tcsetattr(line.SlaveFd(), TCSANOW, &settings));
    std::atomic<pid_t> reader = 0;
    std::thread device([&] {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while ((!reader || !Sleeping(reader)) && std::chrono::steady_clock::now() < end)
            std::this_thread::yield();
        line.Send("abc");
    });
    reader = gettid();
    uint8_t buffer[8];
    size_t received = 0;
    EXPECT_EQ(kSerialTimeout, port.Read(buffer, sizeof buffer, &received, 300));
    device.join();
    int queued = -1;
    ASSERT_EQ(0, ioctl(line.SlaveFd(), FIONREAD, &queued));
    EXPECT_EQ(0, queued) << "a timed-out read leaves nothing for the next one";
}

TEST(OutputQueueWaitTest, AQueueThatNeverEmptiesEndsAtTheDeadlineOrAtOnceWhenWoken) {
    using namespace port_io;
    CWakeup wakeup;
    const auto stuck = [](int& queued) {
        queued = 100;  // the driver never lets go of it
        return 0;
    };
    EXPECT_EQ(kTimedOut, WaitUntilQueueEmpty(stuck, 1200, Deadline(30), wakeup));
    wakeup.Signal();
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(kWokenUp, WaitUntilQueueEmpty(stuck, 1200, Deadline(3000), wakeup));
    EXPECT_LT(ElapsedMs(start), 1000);
}

}  // namespace
