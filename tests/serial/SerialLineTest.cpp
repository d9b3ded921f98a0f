#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "OpenPortTest.h"

namespace {

class SerialLineTest : public OpenPortTest {};

// The general setters are kept for callers beyond the HART link; one pass checks that each
// reaches the line and reads back. A pty forces CS8 and clears PARENB by itself, so parity
// checking (INPCK) and PARODD are what remain visible of the parity.
TEST_F(SerialLineTest, TheGeneralSettersReachTheLineAndReadBack) {
    ASSERT_EQ(kSerialSuccess, port.SetLineFormat(9600, 8, CSerial::kOddParity, 0));
    EXPECT_TRUE(line.LineSettings().c_iflag & INPCK);
    EXPECT_TRUE(line.LineSettings().c_cflag & PARODD);
    ASSERT_EQ(kSerialSuccess, port.SetLineFormat(9600, 8, CSerial::kEvenParity, 0));
    EXPECT_FALSE(line.LineSettings().c_cflag & PARODD);
    EXPECT_EQ(CSerial::kEvenParity, port.GetParity());
    ASSERT_EQ(kSerialSuccess, port.SetLineFormat(9600, 8, CSerial::kNoParity, 0));
    EXPECT_FALSE(line.LineSettings().c_iflag & INPCK);

    // A speed without a standard constant is set exactly, and a standard one replaces it.
    ASSERT_EQ(kSerialSuccess, port.SetLineFormat(14400, 8, 0, CSerial::kTwoStopBits));
    EXPECT_EQ(14400, port.GetBaudRate());
    EXPECT_EQ(CSerial::kTwoStopBits, port.GetStopBits());
    ASSERT_EQ(kSerialSuccess, port.SetLineFormat(1200, 8, 0, 0));
    EXPECT_EQ(1200, port.GetBaudRate());

    ASSERT_EQ(kSerialSuccess, port.SetHandshake(CSerial::HandshakeHardware));
    EXPECT_TRUE(line.LineSettings().c_cflag & CRTSCTS);
    ASSERT_EQ(kSerialSuccess, port.SetHandshake(CSerial::HandshakeOff));
    EXPECT_FALSE(line.LineSettings().c_cflag & CRTSCTS);
    EXPECT_FALSE(line.LineSettings().c_iflag & (IXON | IXOFF));

    const uint32_t openMask = port.GetEventMask();
    ASSERT_EQ(kSerialSuccess, port.SetEventChar('\n', false));
    EXPECT_EQ(openMask, port.GetEventMask());
    ASSERT_EQ(kSerialSuccess, port.SetEventChar('\r', true));
    EXPECT_EQ('\r', port.GetEventChar());
    EXPECT_EQ(openMask | CSerial::kEventRxFlag, port.GetEventMask());
}

TEST_F(SerialLineTest, ASettingThePortCannotTakeIsRefusedAndTheOneInForceStays) {
    ASSERT_EQ(kSerialSuccess,
              port.SetLineFormat(4800, 8, CSerial::kOddParity, CSerial::kTwoStopBits));
    ASSERT_EQ(kSerialSuccess, port.SetHandshake(CSerial::HandshakeSoftware));
    const termios before = line.LineSettings();
    EXPECT_EQ(EINVAL, port.SetLineFormat(9600, 9, 0, 0));
    EXPECT_EQ(EINVAL, port.SetLineFormat(9600, 8, 7, 0));
    EXPECT_EQ(EINVAL, port.SetLineFormat(9600, 8, 0, 5));
    EXPECT_EQ(EINVAL, port.SetLineFormat(0, 8, 0, 0)) << "speed 0 would hang the line up";
    EXPECT_EQ(kSerialInvalidArg, port.SetHandshake(3));
    EXPECT_EQ(kSerialInvalidArg, port.SetHandshake(-1));
    EXPECT_EQ(kSerialInvalidArg, port.SetReadMode(2));
    EXPECT_EQ(kSerialInvalidArg, port.LastError());
    const termios after = line.LineSettings();
    EXPECT_EQ(before.c_iflag, after.c_iflag);
    EXPECT_EQ(before.c_cflag, after.c_cflag);
    EXPECT_EQ(4800, port.GetBaudRate());
    EXPECT_EQ(CSerial::HandshakeSoftware, port.GetHandshake());

    // Still returning at once, the mode Open set: a read takes the three bytes there are.
    ASSERT_TRUE(line.Send("abc"));
    ASSERT_TRUE(line.WaitForInput(3));
    char buffer[10];
    size_t received = 0;
    EXPECT_EQ(kSerialSuccess, port.Read(buffer, sizeof buffer, &received, 100));
    EXPECT_EQ(3u, received);
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

TEST_F(SerialLineTest, RtsOnAPtyReportsTheMissingModemLines) {
    EXPECT_EQ(ENOTTY, port.SetRts(true));
    EXPECT_EQ(ENOTTY, port.SetRts(false));
    EXPECT_TRUE(port.IsOpen());
}

}  // namespace
