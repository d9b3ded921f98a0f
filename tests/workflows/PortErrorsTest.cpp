// The words for a port that did not open: the workflow's first line, then the device and
// why, as the port class's own statuses lead there.
#include "workflows/PortErrors.h"

#include <gtest/gtest.h>

#include <fstream>

#include "serial/ComPortMap.h"
#include "tests/serial/ScopedConfigHome.h"

namespace {

TEST(PortErrors, AFileTakenForAPortIsNotASerialPortBelowTheFirstLine) {
    ScopedConfigHome home;
    const std::string file = home.path() + "/capture.log";
    std::ofstream(file) << "not a tty";
    ASSERT_TRUE(home.Link(PortLinkPath(40), file));
    CSerial port;
    CHartLink link(port);
    const unsigned opened = link.OpenPort(40, 1200);
    ASSERT_EQ(opened, kLinkPortError);
    EXPECT_EQ(OpenErrorText(link, opened, 40, QStringLiteral("Error opening COM port")),
              QString::fromStdString("Error opening COM port\nCOM40 (" + file +
                                     ") is not a serial port."));
}

TEST(PortErrors, EachReasonReadsWithItsDevice) {
    using Kind = OpenFailureReason::Kind;
    const auto text = [](Kind kind) {
        OpenFailureReason reason;
        reason.kind = kind;
        reason.device = "/dev/ttyUSB0";
        reason.group = "dialout";
        reason.holderName = "minicom";
        reason.holderPid = "4242";
        reason.systemText = "Input/output error";
        return OpenFailureText(reason).toStdString();
    };
    EXPECT_EQ(text(Kind::NoDevice), "/dev/ttyUSB0: no such device. Is the modem plugged in?");
    EXPECT_EQ(text(Kind::PermissionDenied),
              "/dev/ttyUSB0: permission denied. Join the group dialout (sudo usermod -aG dialout "
              "$USER), then log in again.");
    EXPECT_EQ(text(Kind::Held), "/dev/ttyUSB0 is held by minicom (PID 4242).");
    EXPECT_EQ(text(Kind::HeldByUnknown), "/dev/ttyUSB0 is held by another program.");
    EXPECT_EQ(text(Kind::NotSerial), "/dev/ttyUSB0 is not a serial port.");
    EXPECT_EQ(text(Kind::SystemConsole),
              "/dev/ttyUSB0\nThis port is the system console, so Tralvo leaves it alone. Choose "
              "the port of the modem.");
    EXPECT_EQ(text(Kind::LineRefused),
              "/dev/ttyUSB0\nThe port does not take 1200 baud, 8 data bits, odd parity and 1 "
              "stop bit.");
    EXPECT_EQ(text(Kind::Other), "/dev/ttyUSB0: Input/output error");
}

}  // namespace
