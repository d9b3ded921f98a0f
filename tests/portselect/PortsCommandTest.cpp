#include "portselect/PortsCommand.h"

#include <gtest/gtest.h>

#include <sstream>

#include "FakePortSource.h"
#include "tests/serial/ScopedConfigHome.h"

namespace {

TEST(PortsCommandTest, PrintsEachEntryWithTheDeviceItOpensInTheChoosersOrder) {
    ScopedConfigHome home;
    ASSERT_TRUE(home.Link(home.path() + "/Brenlow/Tralvo/ports/COM200", "/dev/null"));
    const FakePortSource source({"Virtual Serial Port (COM200)", "FT232R USB UART (COM33)",
                                 "USB Serial Port (COM33)", "Virtual COM Port (COM5)"});
    std::ostringstream out;
    EXPECT_EQ(0, RunPortsCommand(out, source));
    EXPECT_EQ("COM Port COM5\t\nCOM33\t/dev/ttyUSB0\nCOM200\t" + home.path() +
                  "/Brenlow/Tralvo/ports/COM200\n",
              out.str());
}

TEST(PortsCommandTest, NoPortsPrintNothingAndSucceed) {
    std::ostringstream out;
    EXPECT_EQ(0, RunPortsCommand(out, FakePortSource({}, false)));
    EXPECT_EQ("", out.str());
}

}  // namespace
