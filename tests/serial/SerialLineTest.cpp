#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "OpenPortTest.h"

namespace {

class SerialLineTest : public OpenPortTest {};

// A pty forces CS8 and clears PARENB by itself; parity checking (INPCK) and PARODD are what remain
// visible.
TEST_F(SerialLineTest, ParityCodeSwitchesParityCheckingOnAndOff) {
    ASSERT_EQ(kSerialSuccess, port.SetLineFormat(9600, 8, CSerial::kOddParity, 0));
    EXPECT_TRUE(line.LineSettings().c_iflag & INPCK);
    EXPECT_TRUE(line.LineSettings().c_cflag & PARODD);
    EXPECT_EQ(CSerial::kOddParity, port.GetParity());

    ASSERT_EQ(kSerialSuccess, port.SetLineFormat(9600, 8, CSerial::kEvenParity, 0));
    EXPECT_TRUE(line.LineSettings().c_iflag & INPCK);
    EXPECT_FALSE(line.LineSettings().c_cflag & PARODD);
    EXPECT_EQ(CSerial::kEvenParity, port.GetParity());

    ASSERT_EQ(kSerialSuccess, port.SetLineFormat(9600, 8, CSerial::kNoParity, 0));
    EXPECT_FALSE(line.LineSettings().c_iflag & INPCK);
    EXPECT_EQ(CSerial::kNoParity, port.GetParity());
}

TEST_F(SerialLineTest, LineFormatSetsSpeedAndStopBits) {
    ASSERT_EQ(kSerialSuccess, port.SetLineFormat(19200, 8, 0, CSerial::kTwoStopBits));
    EXPECT_EQ(19200, port.GetBaudRate());
    EXPECT_EQ(CSerial::kTwoStopBits, port.GetStopBits());
    EXPECT_EQ(8, port.GetByteSize());
}

TEST_F(SerialLineTest, SpeedsWithoutAStandardConstantAreSetExactly) {
    for (uint32_t baud : {14400u, 56000u, 128000u, 256000u}) {
        ASSERT_EQ(kSerialSuccess, port.SetLineFormat(baud, 8, 0, 0)) << baud;
        EXPECT_EQ(static_cast<int32_t>(baud), port.GetBaudRate());
    }
    ASSERT_EQ(kSerialSuccess, port.SetLineFormat(1200, 8, 0, 0));
    EXPECT_EQ(1200, port.GetBaudRate()) << "a standard speed replaces a custom one";
}

TEST_F(SerialLineTest, ImpossibleFormatIsRefusedAndChangesNothing) {
    ASSERT_EQ(kSerialSuccess,
              port.SetLineFormat(4800, 8, CSerial::kOddParity, CSerial::kTwoStopBits));
    EXPECT_EQ(EINVAL, port.SetLineFormat(9600, 9, 0, 0));
    EXPECT_EQ(EINVAL, port.SetLineFormat(9600, 8, 7, 0));
    EXPECT_EQ(EINVAL, port.SetLineFormat(9600, 8, 0, 5));
    EXPECT_EQ(EINVAL, port.SetLineFormat(0, 8, 0, 0)) << "speed 0 would hang the line up";
    EXPECT_EQ(4800, port.GetBaudRate());
    EXPECT_EQ(CSerial::kTwoStopBits, port.GetStopBits());
    EXPECT_EQ(CSerial::kOddParity, port.GetParity());
}

TEST_F(SerialLineTest, HartLineIsRaw8O1WithoutFlowControlAndSucceedsOnAPty) {
    ASSERT_EQ(kSerialSuccess, port.SetHandshake(CSerial::HandshakeSoftware));
    ASSERT_EQ(kSerialSuccess, port.SetHartLine(1200));
    EXPECT_EQ(kSerialSuccess, port.LastError());
    EXPECT_TRUE(port.IsOpen());
    EXPECT_EQ(1200, port.GetBaudRate());
    EXPECT_EQ(8, port.GetByteSize());
    EXPECT_EQ(CSerial::kOddParity, port.GetParity());
    EXPECT_EQ(CSerial::kOneStopBit, port.GetStopBits());
    EXPECT_EQ(CSerial::HandshakeOff, port.GetHandshake());
    const termios settings = line.LineSettings();
    EXPECT_EQ(CLOCAL | CREAD, settings.c_cflag & (CLOCAL | CREAD));
    EXPECT_FALSE(settings.c_cflag & CRTSCTS);
    EXPECT_FALSE(settings.c_iflag & (IXON | IXOFF));
    EXPECT_FALSE(settings.c_lflag & (ICANON | ECHO | ISIG));
    EXPECT_FALSE(settings.c_oflag & OPOST);
}

TEST_F(SerialLineTest, HartLineDiscardsWhatWaitedBeforeIt) {
    ASSERT_TRUE(line.Send("noise"));
    ASSERT_TRUE(line.WaitForInput(5));
    ASSERT_EQ(kSerialSuccess, port.SetHartLine(1200));
    ASSERT_TRUE(line.Send("ok"));
    char buffer[2];
    size_t received = 0;
    EXPECT_EQ(kSerialSuccess, port.Read(buffer, 2, &received, 2000));
    EXPECT_EQ("ok", std::string(buffer, received));
}

TEST_F(SerialLineTest, UnknownReadModeIsRefusedAndTheModeInForceStays) {
    ASSERT_EQ(kSerialSuccess, port.SetHartLine(1200));
    EXPECT_EQ(kSerialInvalidArg, port.SetReadMode(2));
    EXPECT_EQ(kSerialInvalidArg, port.LastError());

    // Still WaitForCount: three bytes of ten are not enough.
    ASSERT_TRUE(line.Send("abc"));
    ASSERT_TRUE(line.WaitForInput(3));
    char buffer[10];
    size_t received = 99;
    EXPECT_EQ(kSerialTimeout, port.Read(buffer, sizeof buffer, &received, 100));
    EXPECT_EQ(0u, received);
}

TEST_F(SerialLineTest, UnknownHandshakeIsRefusedAndTheHandshakeInForceStays) {
    ASSERT_EQ(kSerialSuccess, port.SetHandshake(CSerial::HandshakeSoftware));
    EXPECT_EQ(CSerial::HandshakeSoftware, port.GetHandshake());
    const termios before = line.LineSettings();

    EXPECT_EQ(kSerialInvalidArg, port.SetHandshake(3));
    EXPECT_EQ(kSerialInvalidArg, port.SetHandshake(-1));
    EXPECT_EQ(CSerial::HandshakeSoftware, port.GetHandshake());
    const termios after = line.LineSettings();
    EXPECT_EQ(before.c_iflag, after.c_iflag);
    EXPECT_EQ(before.c_cflag, after.c_cflag);
}

TEST_F(SerialLineTest, HandshakeModesMapToTheirFlowControl) {
    ASSERT_EQ(kSerialSuccess, port.SetHandshake(CSerial::HandshakeHardware));
    EXPECT_TRUE(line.LineSettings().c_cflag & CRTSCTS);
    EXPECT_EQ(CSerial::HandshakeHardware, port.GetHandshake());
    ASSERT_EQ(kSerialSuccess, port.SetHandshake(CSerial::HandshakeOff));
    EXPECT_FALSE(line.LineSettings().c_cflag & CRTSCTS);
    EXPECT_FALSE(line.LineSettings().c_iflag & (IXON | IXOFF));
    EXPECT_EQ(CSerial::HandshakeOff, port.GetHandshake());
}

TEST_F(SerialLineTest, EventCharacterCanJoinTheEventMask) {
    const uint32_t openMask = port.GetEventMask();
    ASSERT_EQ(kSerialSuccess, port.SetEventChar('\n', false));
    EXPECT_EQ('\n', port.GetEventChar());
    EXPECT_EQ(openMask, port.GetEventMask());
    ASSERT_EQ(kSerialSuccess, port.SetEventChar('\r', true));
    EXPECT_EQ('\r', port.GetEventChar());
    EXPECT_EQ(openMask | CSerial::kEventRxFlag, port.GetEventMask());
}

TEST_F(SerialLineTest, RtsOnAPtyReportsTheMissingModemLines) {
    EXPECT_EQ(ENOTTY, port.SetRts(true));
    EXPECT_EQ(ENOTTY, port.SetRts(false));
    EXPECT_TRUE(port.IsOpen());
}

}  // namespace
