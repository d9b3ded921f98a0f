#pragma once

#include <gtest/gtest.h>

#include "PtyPair.h"
#include "serial/Serial.h"

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
