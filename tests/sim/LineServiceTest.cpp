#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <thread>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "SimFrames.h"
#include "SimProcess.h"
#include "sim/Line.h"
#include "sim/LineService.h"
#include "sim/ServedPty.h"
#include "tests/serial/ScopedConfigHome.h"

namespace {

using namespace simtest;
using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The master's side of the line: writes a request, collects what comes back.
struct Exchange {
    Bytes reply;
    double firstByteMs = -1;
    double lastByteMs = -1;
};

Exchange Transact(int fd, const Bytes& request, size_t expected, int timeoutMs = 3000) {
    Exchange result;
    const auto start = Clock::now();
    if (write(fd, request.data(), request.size()) != static_cast<ssize_t>(request.size())) {
        return result;
    }
    while (result.reply.size() < expected && MsSince(start) < timeoutMs) {
        pollfd entry{fd, POLLIN, 0};
        if (poll(&entry, 1, 20) <= 0) continue;
        uint8_t buffer[256];
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n <= 0) continue;
        if (result.firstByteMs < 0) result.firstByteMs = MsSince(start);
        result.lastByteMs = MsSince(start);
        result.reply.insert(result.reply.end(), buffer, buffer + n);
    }
    return result;
}

size_t ReplySize(const Bytes& request) { return sim::ServedPty::ReplyBytes({}, request); }

bool WaitFor(const std::function<bool()>& condition, int timeoutMs) {
    const auto start = Clock::now();
    while (!condition()) {
        if (MsSince(start) > timeoutMs) return false;
        poll(nullptr, 0, 1);
    }
    return true;
}

size_t Unread(int fd) {
    int count = 0;
    return ioctl(fd, FIONREAD, &count) == 0 ? static_cast<size_t>(count) : 0;
}

// Reads until `count` bytes came or the time is up; never more than `count`.
Bytes ReadBytes(int fd, size_t count, int timeoutMs) {
    Bytes got;
    const auto start = Clock::now();
    while (got.size() < count && MsSince(start) < timeoutMs) {
        pollfd entry{fd, POLLIN, 0};
        if (poll(&entry, 1, 20) <= 0) continue;
        uint8_t buffer[256];
        const ssize_t n = read(fd, buffer, std::min(sizeof buffer, count - got.size()));
        if (n <= 0) break;
        got.insert(got.end(), buffer, buffer + n);
    }
    return got;
}

// What the master sees of a line that went away: a hang-up, no data, no writing.
void ExpectHungUp(int fd) {
    pollfd entry{fd, POLLIN, 0};
    ASSERT_EQ(poll(&entry, 1, 3000), 1);
    EXPECT_TRUE(entry.revents & POLLHUP);
    uint8_t byte = 0;
    EXPECT_LE(read(fd, &byte, 1), 0);
    EXPECT_EQ(write(fd, &byte, 1), -1);
}

TEST(LineService, AnswersOnlyAfterTheRequestWouldHaveLeftA1200BaudLineEvenWhenFast) {
    sim::ServedPty line({.fast = true});
    ASSERT_TRUE(line.ok());
    const Bytes request = IdentityPoll(0);
    const Exchange x = Transact(line.HeldSlave(), request, ReplySize(request));
    ASSERT_EQ(x.reply.size(), ReplySize(request));
    // The master keys RTS for the request's on-air time and then purges its input.
    EXPECT_GE(x.firstByteMs, request.size() * sim::kByteMs + 2.0);
    EXPECT_EQ(FramesIn(x.reply).size(), 1u);
}

TEST(LineService, PacedRepliesTakeOneCharacterTimePerByte) {
    sim::ServedPty line({});
    ASSERT_TRUE(line.ok());
    const Bytes request = IdentityPoll(0);
    const size_t size = ReplySize(request);
    const Exchange x = Transact(line.HeldSlave(), request, size);
    ASSERT_EQ(x.reply.size(), size);
    EXPECT_GE(x.firstByteMs, request.size() * sim::kByteMs + 10.0);
    // Measured from the request, which a late wake-up of this reader can only make later.
    EXPECT_GE(x.lastByteMs, (request.size() + size - 1) * sim::kByteMs + 10.0);
}

TEST(LineService, KeepsServingAfterTheLastOpenerClosedTheLine) {
    sim::ServedPty line({.fast = true});
    ASSERT_TRUE(line.ok());
    const Bytes request = IdentityPoll(0);
    ASSERT_EQ(Transact(line.HeldSlave(), request, ReplySize(request)).reply.size(),
              ReplySize(request));
    ASSERT_TRUE(line.ReopenSlave());
    EXPECT_EQ(Transact(line.HeldSlave(), request, ReplySize(request)).reply.size(),
              ReplySize(request));
}

TEST(LineServiceBadLines, AVanishingLineKeepsItsLastAnswerForTheMasterThenHangsUp) {
    sim::Behaviour b;
    b.vanishAfter = 1;
    sim::ServedPty line({.fast = true}, {}, b);
    ASSERT_TRUE(line.ok());
    const int fd = line.HeldSlave();
    const Bytes request = IdentityPoll(0);
    ASSERT_EQ(write(fd, request.data(), request.size()), static_cast<ssize_t>(request.size()));
    ASSERT_TRUE(WaitFor([&] { return Unread(fd) >= ReplySize(request); }, 3000));
    // Going now would throw the unread answer away.
    EXPECT_FALSE(WaitFor([&] { return line.Vanished(); }, 100));
    EXPECT_EQ(ReadBytes(fd, ReplySize(request), 1000).size(), ReplySize(request));
    ASSERT_TRUE(WaitFor([&] { return line.Vanished(); }, 3000));
    ExpectHungUp(fd);
}

// The first bytes of a fresh silent line, and how long they took from its start.
struct Carried {
    Bytes bytes;
    double ms;
};

Carried FirstBytes(const sim::Behaviour& behaviour, size_t count) {
    const auto start = Clock::now();
    sim::Behaviour silent = behaviour;
    silent.silent = true;
    sim::ServedPty line({}, {}, silent);
    Bytes bytes = line.ok() ? ReadBytes(line.HeldSlave(), count, 3000) : Bytes{};
    return {bytes, MsSince(start)};
}

TEST(LineServiceBadLines, TrickleAndBabbleKeepTheirPaceOnAPty) {
    sim::Behaviour babble;
    babble.babble = true;
    const Carried babbled = FirstBytes(babble, 30);
    ASSERT_EQ(babbled.bytes.size(), 30u);
    EXPECT_THAT(babbled.bytes, ::testing::Each(0xFF));
    EXPECT_GE(babbled.ms, 29 * sim::kByteMs);        // never faster than the line
    EXPECT_LT(babbled.ms, 30 * sim::kByteMs + 500);  // and back to back

    sim::Behaviour trickle;
    trickle.trickle = true;
    trickle.tricklePeriodMs = 60;
    const Carried trickled = FirstBytes(trickle, 4);
    ASSERT_EQ(trickled.bytes.size(), 4u);
    EXPECT_THAT(trickled.bytes, ::testing::Each(0xFF));
    EXPECT_GE(trickled.ms, 4 * 60.0);
    EXPECT_LT(trickled.ms, 4 * 60.0 + 500);
}

TEST(SimProgram, VanishAfterHangsUpRemovesTheComLinkAndEndsWithExitZero) {
    ScopedConfigHome home;
    const std::string link = home.path() + "/Brenlow/Tralvo/ports/COM202";
    SimProcess sim({"--link", "COM202", "--fast", "--vanish-after", "2"});
    ASSERT_TRUE(sim.WaitForOutput("\n", 5000)) << sim.Stderr();
    const int fd = open(link.c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(fd, 0);
    ASSERT_TRUE(sim::MakeRaw(fd));
    const Bytes request = IdentityPoll(0);
    for (int exchange = 0; exchange < 2; ++exchange) {
        EXPECT_EQ(Transact(fd, request, ReplySize(request)).reply.size(), ReplySize(request));
    }
    ExpectHungUp(fd);
    close(fd);
    EXPECT_EQ(sim.Finish(0, 5000), 0);
    EXPECT_THAT(sim.Stdout(), ::testing::HasSubstr("vanished after 2 exchanges"));
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(link)));
}

TEST(SimProgram, LinksItsPtyAsAComPortAndRemovesTheLinkOnSigterm) {
    ScopedConfigHome home;
    const std::string link = home.path() + "/Brenlow/Tralvo/ports/COM201";
    SimProcess sim({"--link", "COM201", "--fast"});
    ASSERT_TRUE(sim.WaitForOutput("\n", 5000)) << sim.Stderr();
    EXPECT_THAT(sim.Stdout(), ::testing::HasSubstr("COM201 -> /dev/pts/"));
    ASSERT_TRUE(std::filesystem::is_symlink(link));

    const Bytes request = IdentityPoll(0);
    for (int opening = 0; opening < 2; ++opening) {  // Tralvo opens and closes per test
        const int fd = open(link.c_str(), O_RDWR | O_NOCTTY);
        ASSERT_GE(fd, 0);
        ASSERT_TRUE(sim::MakeRaw(fd));
        EXPECT_EQ(Transact(fd, request, ReplySize(request)).reply.size(), ReplySize(request));
        close(fd);
    }
    EXPECT_EQ(sim.Finish(SIGTERM), 0);
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(link)));
}

// COM<n> is taken only when free or a killed simulator's leftover; only the very link made
// is removed, on every stop signal.
TEST(SimProgram, TakesOnlyAFreeOrLeftoverLinkAndRemovesOnlyItsOwn) {
    namespace fs = std::filesystem;
    ScopedConfigHome home;
    const std::string folder = home.path() + "/Brenlow/Tralvo/ports/COM";
    ASSERT_TRUE(home.Link(folder + "203", "/dev/pts/999999"));
    SimProcess first({"--link", "COM203", "--fast"});
    ASSERT_TRUE(first.WaitForOutput("\n")) << first.Stderr();
    ASSERT_TRUE(home.Link(folder + "204", "/dev/serial/by-id/usb-away"));
    for (const std::string number : {"203", "204"}) {
        SimProcess second({"--link", "COM" + number, "--fast"});
        EXPECT_EQ(second.Finish(0), 1);
        EXPECT_THAT(second.Stderr(), ::testing::HasSubstr("COM" + number + " is taken"));
    }
    EXPECT_EQ(fs::read_symlink(folder + "204"), "/dev/serial/by-id/usb-away");
    EXPECT_EQ(first.Finish(SIGINT), 0);
    EXPECT_FALSE(fs::exists(fs::symlink_status(folder + "203")));

    SimProcess again({"--link", "COM203", "--fast"});
    ASSERT_TRUE(again.WaitForOutput("\n")) << again.Stderr();
    fs::remove(folder + "203");
    ASSERT_TRUE(home.Link(folder + "203", "/dev/ttyUSB0"));  // the user's, made meanwhile
    EXPECT_EQ(again.Finish(SIGHUP), 0);
    EXPECT_EQ(fs::read_symlink(folder + "203"), "/dev/ttyUSB0");
}

TEST(SimProgram, AnOutputThatCannotBeWrittenIsAFailure) {
    for (const char* option : {"--help", "--version"}) {
        const int status =
            std::system(("'" + SimProcess::Program() + "' " + option + ">/dev/full").c_str());
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << option;
    }
}

}  // namespace
