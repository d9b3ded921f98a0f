#pragma once

#include <gtest/gtest.h>

#include <chrono>

#include "PtyPair.h"
#include "serial/Serial.h"

// Milliseconds of real time since `since`.
inline long ElapsedMs(std::chrono::steady_clock::time_point since) {
    return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                 std::chrono::steady_clock::now() - since)
                                 .count());
}

// The queue sizes the link layer asks for.
inline constexpr uint32_t kQueue = 2048;

// A port opened on the slave side of a fresh pty pair.
class OpenPortTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(line.ok());
        ASSERT_EQ(kSerialSuccess, port.Open(line.path(), kQueue, kQueue));
    }
    PtyPair line;
    CSerial port;
};
