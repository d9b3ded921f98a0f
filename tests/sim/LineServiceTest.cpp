#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
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
    EXPECT_GE(x.lastByteMs - x.firstByteMs, (size - 1) * sim::kByteMs - 2.0);
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

}  // namespace
