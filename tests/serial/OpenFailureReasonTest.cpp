// Why a port did not open, worked out from real statuses of the port class where the
// machine can produce them (ptys, temporary files, a child process holding a lock) and
// from fake /dev and /proc trees.
#include "serial/OpenFailureReason.h"

#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <fstream>

#include "OpenPortTest.h"
#include "ScopedConfigHome.h"
#include "serial/ComPortMap.h"
#include "serial/Serial.h"

namespace {

using Kind = OpenFailureReason::Kind;

class OpenFailureReasonTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(line.ok());
        system.dev = home.path() + "/dev";
        system.proc = home.path() + "/proc";
        std::filesystem::create_directories(system.dev);
        std::filesystem::create_directories(system.proc);
    }
    // COM<com> leads to `target`, as a user's link does.
    void Plug(unsigned com, const std::string& target) {
        ASSERT_TRUE(home.Link(PortLinkPath(com), target));
    }
    // What the port class says when it opens COM<com>.
    static SerialStatus OpenStatus(unsigned com) {
        CSerial port;
        return port.Open(("\\\\.\\COM" + std::to_string(com)).c_str(), kQueue, kQueue);
    }
    void AddProcess(const std::string& pid, const std::string& name, const std::string& open) {
        const std::string folder = system.proc + "/" + pid;
        std::filesystem::create_directories(folder + "/fd");
        std::ofstream(folder + "/comm") << name << '\n';
        std::filesystem::create_symlink(open, folder + "/fd/5");
    }

    ScopedConfigHome home;
    PtyPair line;
    OpenFailureSystem system;
};

TEST_F(OpenFailureReasonTest, ANumberWithoutADeviceIsNoDeviceNamedByTheNumber) {
    const auto reason = DescribeOpenFailure(98, OpenStatus(98), system);
    EXPECT_EQ(reason.kind, Kind::NoDevice);
    EXPECT_EQ(reason.device, "COM98");
}

TEST_F(OpenFailureReasonTest, AMissingFixedRangeDeviceIsNoDeviceAtItsPath) {
    // COM33 is /dev/ttyUSB0, looked up under the fake /dev.
    const auto reason = DescribeOpenFailure(33, ENODEV, system);
    EXPECT_EQ(reason.kind, Kind::NoDevice);
    EXPECT_EQ(reason.device, system.dev + "/ttyUSB0");
}

TEST_F(OpenFailureReasonTest, ALinkThatLeadsNowhereShowsWhereItPoints) {
    const std::string gone = home.path() + "/pts-of-a-simulator-that-ended";
    Plug(5, gone);
    const SerialStatus status = OpenStatus(5);
    ASSERT_EQ(status, ENOENT);
    const auto reason = DescribeOpenFailure(5, status, system);
    EXPECT_EQ(reason.kind, Kind::NoDevice);
    EXPECT_EQ(reason.device, PortLinkPath(5) + " -> " + gone);
}

TEST_F(OpenFailureReasonTest, PermissionNamesTheDevicesGroupWhereJoiningItHelps) {
    Plug(6, line.slavePath());
    ASSERT_EQ(chmod(line.path(), 0660), 0);
    // Where ptys come in root's group, root (who may) hands it to dialout's number.
    if (geteuid() == 0) {
        ASSERT_EQ(chown(line.path(), static_cast<uid_t>(-1), 20), 0);
    }
    struct stat info {};
    ASSERT_EQ(stat(line.path(), &info), 0);
    system.groupName = [&](gid_t gid) -> std::optional<std::string> {
        if (gid == info.st_gid) return "dialout";
        return std::nullopt;
    };
    if (info.st_gid == 0) GTEST_SKIP() << "the pty is in root's group, which no one is to join";
    auto reason = DescribeOpenFailure(6, EACCES, system);
    EXPECT_EQ(reason.device, line.slavePath());
    EXPECT_EQ(reason.kind, Kind::PermissionDenied);
    EXPECT_EQ(reason.group, "dialout");

    // A group without read and write is no help: the system's words instead.
    ASSERT_EQ(chmod(line.path(), 0620), 0);
    reason = DescribeOpenFailure(6, EACCES, system);
    EXPECT_EQ(reason.kind, Kind::Other);
    EXPECT_EQ(reason.systemText, "Permission denied");
}

TEST_F(OpenFailureReasonTest, GroupNamesComeFromTheSystemsDatabases) {
    EXPECT_EQ(SystemGroupName(0), "root");
    EXPECT_EQ(SystemGroupName(static_cast<gid_t>(4000000123u)), std::nullopt);
}

// A real child takes the lock; the real /proc must lead to it by PID.
TEST_F(OpenFailureReasonTest, ABusyPortNamesTheProcessThatHoldsIt) {
    Plug(7, line.slavePath());
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const int fd = open(line.path(), O_RDWR | O_NOCTTY);
        const char state = fd >= 0 && flock(fd, LOCK_EX | LOCK_NB) == 0 ? '1' : '0';
        if (write(ready[1], &state, 1) != 1) _exit(1);
        pause();
        _exit(0);
    }
    close(ready[1]);
    char state = 0;
    const bool told = read(ready[0], &state, 1) == 1;
    close(ready[0]);
    const SerialStatus status = OpenStatus(7);
    OpenFailureSystem real = system;
    real.proc = "/proc";
    const auto reason = DescribeOpenFailure(7, status, real);
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);

    ASSERT_TRUE(told && state == '1');
    EXPECT_EQ(status, EBUSY);
    EXPECT_EQ(reason.kind, Kind::Held);
    EXPECT_EQ(reason.holderPid, std::to_string(child));
    std::ifstream comm("/proc/self/comm");  // the child has the test program's name
    std::string name;
    std::getline(comm, name);
    EXPECT_EQ(reason.holderName, name);
}

TEST_F(OpenFailureReasonTest, AHolderInAFakeProcIsNamedAndNoneSeenIsAnUnknownHolder) {
    Plug(8, line.slavePath());
    EXPECT_EQ(DescribeOpenFailure(8, EBUSY, system).kind, Kind::HeldByUnknown);
    AddProcess("4242", "minicom", line.slavePath());
    const auto reason = DescribeOpenFailure(8, EBUSY, system);
    EXPECT_EQ(reason.kind, Kind::Held);
    EXPECT_EQ(reason.holderName, "minicom");
    EXPECT_EQ(reason.holderPid, "4242");
}

// A simulator keeps the slave open beside its master; a program that really holds the port
// is the one to name, the simulator only when nobody else is there.
TEST_F(OpenFailureReasonTest, ThePtysOtherEndIsNamedOnlyWhenNoOtherHolderIs) {
    Plug(9, line.slavePath());
    AddProcess("4300", "tralvo-sim", line.slavePath());
    std::filesystem::create_symlink("/dev/ptmx", system.proc + "/4300/fd/6");
    EXPECT_EQ(DescribeOpenFailure(9, EBUSY, system).holderName, "tralvo-sim");
    AddProcess("4301", "minicom", line.slavePath());
    const auto reason = DescribeOpenFailure(9, EBUSY, system);
    EXPECT_EQ(reason.holderName, "minicom");
    EXPECT_EQ(reason.holderPid, "4301");
}

TEST_F(OpenFailureReasonTest, AFileOrAFolderIsNotASerialPort) {
    const std::string file = home.path() + "/capture.log";
    std::ofstream(file) << "not a tty";
    Plug(9, file);
    auto reason = DescribeOpenFailure(9, OpenStatus(9), system);
    EXPECT_EQ(reason.kind, Kind::NotSerial);
    EXPECT_EQ(reason.device, file);

    Plug(10, home.path());
    reason = DescribeOpenFailure(10, OpenStatus(10), system);
    EXPECT_EQ(reason.kind, Kind::NotSerial);
    EXPECT_EQ(reason.device, home.path());
}

TEST_F(OpenFailureReasonTest, AnyOtherStatusGivesTheSystemsWords) {
    Plug(12, line.slavePath());
    const auto reason = DescribeOpenFailure(12, EIO, system);
    EXPECT_EQ(reason.kind, Kind::Other);
    EXPECT_EQ(reason.device, line.slavePath());
    EXPECT_EQ(reason.systemText, "Input/output error");
}

}  // namespace
