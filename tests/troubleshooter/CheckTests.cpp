#include <fcntl.h>
#include <pty.h>
#include <sys/file.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <thread>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "FakeSystem.h"
#include "serial/ComPortMap.h"
#include "serial/KernelConsole.h"
#include "troubleshooter/Checks.h"
#include "troubleshooter/GroupDatabase.h"
#include "troubleshooter/NssGroupLookup.h"

using ::testing::EndsWith;
using ::testing::HasSubstr;
using ::testing::Not;

namespace {

class PortLinks : public ::testing::Test {
protected:
    void SetUp() override { std::filesystem::create_directories(PortLinksFolder()); }
    void TearDown() override { std::filesystem::remove_all(PortLinksFolder()); }
    FakeSystem fake;
};

using DeviceCheck = PortLinks;

TEST_F(DeviceCheck, FindsAFixedRangeDeviceUnderTheDevRoot) {
    const std::string device = fake.AddTty("ttyUSB0");
    std::optional<ResolvedDevice> found;
    const auto result = CheckDevice(33, fake.roots, &found);
    EXPECT_EQ(result.outcome, CheckOutcome::Pass);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->path, device);
}

TEST_F(DeviceCheck, FailsForAMissingDeviceAndSaysItMayBeUnplugged) {
    std::optional<ResolvedDevice> found;
    const auto result = CheckDevice(65, fake.roots, &found);
    EXPECT_EQ(result.outcome, CheckOutcome::Fail);
    EXPECT_THAT(result.explanation, HasSubstr("/dev/ttyACM0"));
    EXPECT_THAT(result.explanation, HasSubstr("unplugged"));
    EXPECT_FALSE(found);
}

TEST_F(DeviceCheck, FailsForANumberWithoutDeviceAndShowsHowToLinkOne) {
    const auto result = CheckDevice(200, fake.roots, nullptr);
    EXPECT_EQ(result.outcome, CheckOutcome::Fail);
    EXPECT_THAT(result.fix, HasSubstr("ln -s"));
}

TEST_F(DeviceCheck, FollowsALinkToItsTarget) {
    const std::string device = fake.AddTty("pts7");
    std::filesystem::create_symlink(device, PortLinkPath(200));
    std::optional<ResolvedDevice> found;
    EXPECT_EQ(CheckDevice(200, fake.roots, &found).outcome, CheckOutcome::Pass);
    ASSERT_TRUE(found);
    EXPECT_TRUE(found->isLink);
    EXPECT_EQ(found->path, device);
}

TEST_F(DeviceCheck, ReportsALinkThatPointsNowhereAndHowToRemoveIt) {
    std::filesystem::create_symlink(fake.roots.dev + "/gone", PortLinkPath(200));
    std::optional<ResolvedDevice> found;
    const auto result = CheckDevice(200, fake.roots, &found);
    EXPECT_EQ(result.outcome, CheckOutcome::Fail);
    EXPECT_THAT(result.explanation, HasSubstr("/gone"));
    EXPECT_THAT(result.fix, HasSubstr("rm " + PortLinkPath(200)));
    EXPECT_FALSE(found);
}

// A link may lead anywhere; only a tty carries HART, and nothing else there is to be killed.
TEST_F(DeviceCheck, CallsALinkToDevNullNotASerialPortAndSuggestsNoKill) {
    std::filesystem::create_symlink("/dev/null", PortLinkPath(200));
    std::optional<ResolvedDevice> found;
    const auto result = CheckDevice(200, fake.roots, &found);
    EXPECT_EQ(result.outcome, CheckOutcome::Fail);
    EXPECT_THAT(result.explanation, HasSubstr("/dev/null, which is not a serial port"));
    EXPECT_THAT(result.fix, Not(HasSubstr("kill")));
    EXPECT_FALSE(found);
}

TEST_F(DeviceCheck, CallsARegularFileNotASerialPort) {
    fake.AddDevice("ttyUSB0");
    const auto result = CheckDevice(33, fake.roots, nullptr);
    EXPECT_EQ(result.outcome, CheckOutcome::Fail);
    EXPECT_THAT(result.explanation, HasSubstr("not a serial port"));
}

// Access: the device belongs to root:dialout, crw-rw----.
class AccessCheck : public ::testing::Test {
protected:
    void SetUp() override {
        fake.Write("etc/group", "root:x:0:\ndialout:x:20:alice\nusers:x:100:\n");
        fake.Write("etc/passwd",
                   "root:x:0:0::/root:/bin/sh\nalice:x:1000:100::/home/alice:/bin/sh\n"
                   "bob:x:1001:100::/home/bob:/bin/sh\n");
        groups = GroupDatabase::Load(fake.roots.groupFile, fake.roots.passwdFile);
    }
    static UserIdentity User(const char* name, uid_t uid, std::vector<gid_t> now) {
        return {uid, 100, name, std::move(now)};
    }
    FakeSystem fake;
    GroupDatabase groups;
    const DeviceAccess dialoutDevice{0, 20, S_IFCHR | 0660};
};

TEST_F(AccessCheck, SaysNotInGroupDialoutForAUserWhoIsNot) {
    const auto result =
        CheckAccess("/dev/ttyUSB0", dialoutDevice, User("bob", 1001, {100}), groups);
    EXPECT_EQ(result.outcome, CheckOutcome::Fail);
    EXPECT_THAT(result.explanation, HasSubstr("not in group dialout"));
    EXPECT_THAT(result.explanation, HasSubstr("crw-rw---- root:dialout"));
    EXPECT_THAT(result.fix, HasSubstr("sudo usermod -aG dialout $USER"));
}

TEST_F(AccessCheck, PassesForAUserWhoseProcessHasTheGroup) {
    const auto result =
        CheckAccess("/dev/ttyUSB0", dialoutDevice, User("alice", 1000, {100, 20}), groups);
    EXPECT_EQ(result.outcome, CheckOutcome::Pass);
}

TEST_F(AccessCheck, AsksForANewLoginAfterARecentUsermod) {
    // The database lists alice, but this session's process does not have the group yet.
    const auto result =
        CheckAccess("/dev/ttyUSB0", dialoutDevice, User("alice", 1000, {100}), groups);
    EXPECT_EQ(result.outcome, CheckOutcome::Fail);
    EXPECT_THAT(result.fix, HasSubstr("Log out and back in"));
    EXPECT_THAT(result.fix, HasSubstr("newgrp dialout"));
}

TEST_F(AccessCheck, FailsWhenTheGroupMayNotWriteEvenForMembers) {
    const DeviceAccess readOnly{0, 20, S_IFCHR | 0640};
    const auto result = CheckAccess("/dev/ttyUSB0", readOnly, User("bob", 1001, {100}), groups);
    EXPECT_EQ(result.outcome, CheckOutcome::Fail);
    EXPECT_THAT(result.fix, HasSubstr("chmod g+rw"));
}

TEST_F(AccessCheck, PassesForTheOwnerAndForRoot) {
    const DeviceAccess owned{1001, 20, S_IFCHR | 0600};
    EXPECT_EQ(CheckAccess("/dev/pts/3", owned, User("bob", 1001, {100}), groups).outcome,
              CheckOutcome::Pass);
    EXPECT_EQ(CheckAccess("/dev/ttyUSB0", dialoutDevice, User("root", 0, {0}), groups).outcome,
              CheckOutcome::Pass);
}

TEST_F(AccessCheck, ReadsOwnerGroupAndModeOfARealFile) {
    const std::string device = fake.AddDevice("ttyUSB0");
    chmod(device.c_str(), 0620);
    const auto access = ReadDeviceAccess(device);
    ASSERT_TRUE(access);
    EXPECT_EQ(access->mode & 0777, 0620u);
    EXPECT_EQ(access->owner, geteuid());
}

// The real system's databases, through NSS: every Debian system has root (0:0).
TEST(NssGroupLookup, NamesRootAndKnowsRootsPrimaryGroup) {
    const NssGroupLookup groups;
    EXPECT_EQ(groups.GroupName(0), "root");
    EXPECT_EQ(groups.UserName(0), "root");
    EXPECT_TRUE(groups.ListsUserInGroup("root", 0));
    EXPECT_FALSE(groups.ListsUserInGroup("tralvo-no-such-user", 0));
}

TEST(NssGroupLookup, GivesTheAccessCheckTheGroupToJoin) {
    const DeviceAccess rootGroupDevice{0, 0, S_IFCHR | 0660};
    const UserIdentity stranger{65534, 65534, "tralvo-no-such-user", {65534}};
    const auto result = CheckAccess("/dev/ttyUSB0", rootGroupDevice, stranger, NssGroupLookup());
    EXPECT_EQ(result.outcome, CheckOutcome::Fail);
    EXPECT_THAT(result.explanation, HasSubstr("not in group root"));
    EXPECT_THAT(result.fix, HasSubstr("sudo usermod -aG root $USER"));
}

// Holders.
TEST(HolderCheck, PassesForAPortNobodyHasOpen) {
    FakeSystem fake;
    const std::string device = fake.AddDevice("ttyUSB0");
    fake.AddProcess("42", "bash", fake.roots.dev + "/other");
    EXPECT_EQ(CheckHolders(device, fake.roots).outcome, CheckOutcome::Pass);
}

// The port still opens, so another reader is worth knowing but no reason to kill anything.
TEST(HolderCheck, NamesTheProcessThatHasThePortOpenInAFakeProc) {
    FakeSystem fake;
    const std::string device = fake.AddDevice("ttyACM0");
    fake.AddProcess("4242", "minicom", device);
    const auto result = CheckHolders(device, fake.roots);
    EXPECT_EQ(result.outcome, CheckOutcome::Info);
    EXPECT_THAT(result.explanation, HasSubstr("minicom (PID 4242)"));
    EXPECT_EQ(result.fix, "");
}

// The exclusive open fails: the process the kernel's lock table names is told to go, even
// when it opened the port under another path; one that merely has it open (cat) is not.
TEST(HolderCheck, NamesOnlyTheLockHolderWhenTheLockIsTaken) {
    FakeSystem fake;
    const std::string device = fake.AddTty("ttyUSB0");
    std::filesystem::create_symlink(device, fake.roots.dev + "/modem-by-id");
    fake.AddProcess("4242", "minicom", fake.roots.dev + "/modem-by-id");
    fake.AddProcess("77", "cat", device);
    struct stat node {};
    ASSERT_EQ(stat(device.c_str(), &node), 0);
    char locks[160];
    std::snprintf(locks, sizeof locks,
                  "1: -> FLOCK  ADVISORY  WRITE 77 %02x:%02x:%lu 0 EOF\n"
                  "1: FLOCK  ADVISORY  WRITE 4242 %02x:%02x:%lu 0 EOF\n",
                  major(node.st_dev), minor(node.st_dev), static_cast<unsigned long>(node.st_ino),
                  major(node.st_dev), minor(node.st_dev), static_cast<unsigned long>(node.st_ino));
    fake.Write("proc/locks", locks);
    const int lock = open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_EQ(flock(lock, LOCK_EX | LOCK_NB), 0);
    const auto result = CheckHolders(device, fake.roots);
    close(lock);
    EXPECT_EQ(result.outcome, CheckOutcome::Fail);
    EXPECT_THAT(result.explanation, HasSubstr("is locked and held open by minicom (PID 4242)."));
    EXPECT_THAT(result.explanation, HasSubstr("cat (PID 77) also has it open, without the lock"));
    EXPECT_THAT(result.fix, EndsWith("kill 4242"));
}

// A simulator keeps the slave of its pty open beside the master: it is the port's other
// end, not a rival.
TEST(HolderCheck, TheOtherEndOfAPtyIsNotAHolder) {
    FakeSystem fake;
    const std::string device = fake.AddTty("pts7");
    fake.AddProcess("29467", "tralvo-sim", device);
    fake.AddDescriptor("29467", "4", fake.roots.dev + "/ptmx",
                       "pos:\t0\ntty-index:\t" + fake.PtyIndexOf(device) + "\n");
    const auto result = CheckHolders(device, fake.roots);
    EXPECT_EQ(result.outcome, CheckOutcome::Pass);
    EXPECT_THAT(result.explanation, HasSubstr("other end is held by tralvo-sim (PID 29467)"));
    EXPECT_EQ(result.fix, "");
}

TEST(HolderCheck, AMasterOfAnotherPtyDoesNotMakeAHolderTheOtherEnd) {
    FakeSystem fake;
    const std::string device = fake.AddTty("pts7");
    fake.AddProcess("4242", "screen", device);
    fake.AddDescriptor("4242", "4", fake.roots.dev + "/ptmx", "tty-index:\t99999\n");
    const auto result = CheckHolders(device, fake.roots);
    EXPECT_EQ(result.outcome, CheckOutcome::Info);
    EXPECT_THAT(result.explanation, HasSubstr("screen (PID 4242) also has it open"));
}

// A real child process takes the lock on a device file of the fake tree; the real /proc
// must lead to it by name and PID.
TEST(HolderCheck, NamesARealChildThatHoldsTheLock) {
    FakeSystem fake;
    const std::string device = fake.AddDevice("ttyUSB0");
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const int fd = open(device.c_str(), O_RDWR);
        const bool locked = fd >= 0 && flock(fd, LOCK_EX | LOCK_NB) == 0;
        const char state = locked ? '1' : '0';
        if (write(ready[1], &state, 1) != 1) _exit(1);
        pause();
        _exit(0);
    }
    close(ready[1]);
    char state = 0;
    ASSERT_EQ(read(ready[0], &state, 1), 1);
    close(ready[0]);
    ASSERT_EQ(state, '1');

    SystemRoots real = fake.roots;
    real.proc = "/proc";
    const auto result = CheckHolders(device, real);
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);

    EXPECT_EQ(result.outcome, CheckOutcome::Fail);
    EXPECT_THAT(result.explanation, HasSubstr("is locked"));
    EXPECT_THAT(result.explanation, HasSubstr("(PID " + std::to_string(child) + ")"));
    std::ifstream comm("/proc/self/comm");  // the child has the test program's name
    std::string name;
    std::getline(comm, name);
    EXPECT_THAT(result.explanation, HasSubstr(name + " (PID"));
}

// Services.
TEST(ServiceCheck, FailsWithTheRemedyWhenModemManagerHasTheDeviceOpen) {
    FakeSystem fake;
    const std::string device = fake.AddTty("ttyACM0");
    fake.AddProcess("310", "ModemManager", device);
    const auto result = CheckServices(fake.roots, device);
    EXPECT_EQ(result.outcome, CheckOutcome::Fail);
    EXPECT_THAT(result.explanation, HasSubstr("ModemManager has " + device + " open now"));
    EXPECT_THAT(result.fix, HasSubstr("sudo systemctl stop ModemManager"));
}

TEST(ServiceCheck, FailsWithTheRemedyWhenBrlttyHasTheDeviceOpen) {
    FakeSystem fake;
    const std::string device = fake.AddTty("ttyUSB0");
    fake.AddProcess("311", "brltty", device);
    const auto result = CheckServices(fake.roots, device);
    EXPECT_EQ(result.outcome, CheckOutcome::Fail);
    EXPECT_THAT(result.fix, HasSubstr("brltty"));
}

// Most desktops run ModemManager; it matters only once it touches this port.
TEST(ServiceCheck, ModemManagerRunningWithoutTheDeviceIsInformation) {
    FakeSystem fake;
    const std::string device = fake.AddTty("ttyUSB0");
    fake.AddProcess("310", "ModemManager", fake.roots.dev + "/cdc-wdm0");
    const auto result = CheckServices(fake.roots, device);
    EXPECT_EQ(result.outcome, CheckOutcome::Info);
    EXPECT_THAT(result.explanation, HasSubstr("does not have " + device + " open now"));
    EXPECT_THAT(result.explanation, HasSubstr("ENV{ID_MM_DEVICE_IGNORE}"));
    EXPECT_EQ(result.fix, "");
}

TEST(ServiceCheck, SaysWhenUdevTellsModemManagerToIgnoreTheDevice) {
    FakeSystem fake;
    const std::string device = fake.AddTty("ttyUSB0");
    struct stat info {};
    ASSERT_EQ(stat(device.c_str(), &info), 0);
    fake.Write(
        "udev/c" + std::to_string(major(info.st_rdev)) + ":" + std::to_string(minor(info.st_rdev)),
        "E:ID_MM_DEVICE_IGNORE=1\n");
    fake.AddProcess("310", "ModemManager");
    const auto result = CheckServices(fake.roots, device);
    EXPECT_EQ(result.outcome, CheckOutcome::Info);
    EXPECT_THAT(result.explanation, HasSubstr("leave this device alone"));
}

TEST(ServiceCheck, PassesButMentionsAnInstalledServiceThatIsStopped) {
    FakeSystem fake;
    fake.Write("units/ModemManager.service", "[Unit]\n");
    fake.AddProcess("12", "bash");
    const auto result = CheckServices(fake.roots);
    EXPECT_EQ(result.outcome, CheckOutcome::Pass);
    EXPECT_THAT(result.explanation, HasSubstr("ModemManager is installed but not running"));
}

// Opening, over a pty pair.
class OpenCheck : public ::testing::Test {
protected:
    void SetUp() override {
        char name[256];
        ASSERT_EQ(openpty(&master, &slave, name, nullptr, nullptr), 0);
        slavePath = name;
    }
    void TearDown() override {
        close(master);
        close(slave);
    }
    int master = -1;
    int slave = -1;
    std::string slavePath;
};

TEST_F(OpenCheck, OpensAPtyAndCallsItAVirtualPortWithoutModemLines) {
    const auto result = CheckOpen(slavePath);
    EXPECT_EQ(result.outcome, CheckOutcome::Pass);
    EXPECT_THAT(result.explanation, HasSubstr("virtual port without modem lines"));
}

TEST_F(OpenCheck, FailsForAPortSomeoneHasLocked) {
    ASSERT_EQ(flock(slave, LOCK_EX | LOCK_NB), 0);
    const auto result = CheckOpen(slavePath);
    EXPECT_EQ(result.outcome, CheckOutcome::Fail);
    EXPECT_THAT(result.fix, HasSubstr("Another program holds the port"));
}

TEST(OpenCheckWithoutDevice, FailsForAPathThatDoesNotExist) {
    EXPECT_EQ(CheckOpen("/tmp/tralvo-no-such-port").outcome, CheckOutcome::Fail);
}

TEST(ConsoleCheck, RecognisesTheKernelConsoleFromSysfs) {
    FakeSystem fake;
    fake.Write("sys/class/tty/console/active", "tty0 ttyS0\n");
    EXPECT_TRUE(IsKernelConsole(fake.roots.dev + "/ttyS0", fake.roots.Consoles()));
    EXPECT_FALSE(IsKernelConsole(fake.roots.dev + "/ttyS1", fake.roots.Consoles()));
}

}  // namespace
