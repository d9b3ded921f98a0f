#include <gtest/gtest.h>
#include <stdlib.h>

#include <optional>
#include <string>

#include "ScopedConfigHome.h"
#include "serial/ComPortMap.h"

namespace {

// Sets an environment variable for one test and puts the old value back.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : m_name(name) {
        if (const char* old = getenv(name)) m_old = old;
        if (value) {
            setenv(name, value, 1);
        } else {
            unsetenv(name);
        }
    }
    ~ScopedEnv() {
        if (m_old) {
            setenv(m_name, m_old->c_str(), 1);
        } else {
            unsetenv(m_name);
        }
    }

private:
    const char* m_name;
    std::optional<std::string> m_old;
};

TEST(ComPortMapTest, LinksLiveInTheConfigFolder) {
    ScopedEnv config("XDG_CONFIG_HOME", "/tmp/tralvo-cfg");
    EXPECT_EQ("/tmp/tralvo-cfg/Brenlow/Tralvo/ports", PortLinksFolder());
    EXPECT_EQ("/tmp/tralvo-cfg/Brenlow/Tralvo/ports/COM12", PortLinkPath(12));
}

TEST(ComPortMapTest, LinksFolderFallsBackToTheHomeConfigFolder) {
    ScopedEnv home("HOME", "/home/tech");
    {
        ScopedEnv config("XDG_CONFIG_HOME", nullptr);
        EXPECT_EQ("/home/tech/.config/Brenlow/Tralvo/ports", PortLinksFolder());
    }
    {
        ScopedEnv config("XDG_CONFIG_HOME", "relative/cfg");
        EXPECT_EQ("/home/tech/.config/Brenlow/Tralvo/ports", PortLinksFolder());
    }
}

TEST(ComPortMapTest, FixedRangesCoverTheirFirstAndLastNumbers) {
    ScopedConfigHome home;  // no links
    EXPECT_EQ("/dev/ttyS0", DeviceForComNumber(1));
    EXPECT_EQ("/dev/ttyS31", DeviceForComNumber(32));
    EXPECT_EQ("/dev/ttyUSB0", DeviceForComNumber(33));
    EXPECT_EQ("/dev/ttyUSB31", DeviceForComNumber(64));
    EXPECT_EQ("/dev/ttyACM0", DeviceForComNumber(65));
    EXPECT_EQ("/dev/ttyACM31", DeviceForComNumber(96));
    EXPECT_EQ("/dev/rfcomm0", DeviceForComNumber(100));
    EXPECT_EQ("/dev/rfcomm31", DeviceForComNumber(131));
    EXPECT_EQ("/dev/ttyAMA0", DeviceForComNumber(132));
    EXPECT_EQ("/dev/ttyAMA15", DeviceForComNumber(147));
    EXPECT_EQ("/dev/ttymxc3", DeviceForComNumber(199));
}

// 200-255 stay for the links of simulators and the user's own (README: COM200 and up).
TEST(ComPortMapTest, NoFixedDeviceFromCom200On) {
    ScopedConfigHome home;
    for (unsigned number = 200; number <= 256; ++number) {
        EXPECT_FALSE(DeviceForComNumber(number)) << number;
    }
}

TEST(ComPortMapTest, DevicesTellTheirRange) {
    const auto usb = ComRangeOfDevice("/dev/ttyUSB7");
    ASSERT_TRUE(usb);
    EXPECT_EQ(33u, usb->first);
    EXPECT_EQ(64u, usb->last);
    const auto acm = ComRangeOfDevice("/dev/ttyACM0");
    ASSERT_TRUE(acm);
    EXPECT_EQ(65u, acm->first);
    EXPECT_EQ(96u, acm->last);
    const auto pi = ComRangeOfDevice("/dev/ttyAMA10");
    ASSERT_TRUE(pi);
    EXPECT_EQ(132u, pi->first);
    EXPECT_EQ(147u, pi->last);
    EXPECT_FALSE(ComRangeOfDevice("/dev/ttyUSB32"));
    EXPECT_FALSE(ComRangeOfDevice("/dev/pts/1"));
}

TEST(ComPortMapTest, NumbersOutsideTheRangesHaveNoDevice) {
    ScopedConfigHome home;
    for (unsigned number : {0u, 97u, 98u, 99u, 200u, 255u, 256u}) {
        EXPECT_FALSE(DeviceForComNumber(number)) << number;
    }
}

TEST(ComPortMapTest, ExistingLinkWinsOverTheFixedRange) {
    ScopedConfigHome home;
    ASSERT_TRUE(home.Link(PortLinkPath(3), "/dev/pts/0"));
    ASSERT_TRUE(home.Link(PortLinkPath(200), "/dev/pts/1"));
    EXPECT_EQ(PortLinkPath(3), DeviceForComNumber(3));
    EXPECT_EQ(PortLinkPath(200), DeviceForComNumber(200)) << "a link gives any number a device";
    EXPECT_EQ("/dev/ttyS3", DeviceForComNumber(4));
}

TEST(ComPortMapTest, DanglingLinkStillNamesThePortRatherThanAFixedDevice) {
    ScopedConfigHome home;
    ASSERT_TRUE(home.Link(PortLinkPath(5), "/dev/tralvo-unplugged"));
    EXPECT_EQ(PortLinkPath(5), DeviceForComNumber(5));
}

TEST(ComPortMapTest, DevicesMapBackToTheirNumbers) {
    EXPECT_EQ(1u, ComNumberForDevice("/dev/ttyS0"));
    EXPECT_EQ(32u, ComNumberForDevice("/dev/ttyS31"));
    EXPECT_EQ(33u, ComNumberForDevice("/dev/ttyUSB0"));
    EXPECT_EQ(64u, ComNumberForDevice("/dev/ttyUSB31"));
    EXPECT_EQ(65u, ComNumberForDevice("/dev/ttyACM0"));
    EXPECT_EQ(131u, ComNumberForDevice("/dev/rfcomm31"));
    EXPECT_EQ(132u, ComNumberForDevice("/dev/ttyAMA0"));
    EXPECT_EQ(150u, ComNumberForDevice("/dev/ttyXRUSB2"));
    EXPECT_EQ(165u, ComNumberForDevice("/dev/ttyMXUSB1"));
    EXPECT_EQ(181u, ComNumberForDevice("/dev/ttySC1")) << "not read as ttyS";
    EXPECT_EQ(188u, ComNumberForDevice("/dev/ttyTHS0"));
    EXPECT_EQ(199u, ComNumberForDevice("/dev/ttymxc3"));
}

TEST(ComPortMapTest, DevicesOutsideTheRangesHaveNoNumber) {
    for (const char* path :
         {"/dev/ttyS32", "/dev/ttyS", "/dev/ttyS01", "/dev/ttyUSB1x", "/dev/ttyS-1", "/dev/pts/3",
          "/dev/ttyAMA16", "/dev/ttySC8", "/dev/ttymxc4", "/dev/ttyGS0", "/dev/ttyO0", "/dev/ttySC",
          "ttyS0", ""}) {
        EXPECT_FALSE(ComNumberForDevice(path)) << path;
    }
}

TEST(ComPortMapTest, FixedRangeMappingRoundTrips) {
    ScopedConfigHome home;
    for (unsigned number = 1; number <= 255; ++number) {
        if (const auto device = DeviceForComNumber(number)) {
            EXPECT_EQ(number, ComNumberForDevice(*device)) << *device;
        }
    }
}

TEST(ComPortMapTest, ResolvesComNamesAndAbsolutePaths) {
    ScopedConfigHome home;
    EXPECT_EQ("/dev/ttyUSB0", ResolvePortName("\\\\.\\COM33"));
    EXPECT_EQ("/dev/pts/7", ResolvePortName("/dev/pts/7"));
    ASSERT_TRUE(home.Link(PortLinkPath(9), "/dev/pts/4"));
    EXPECT_EQ(PortLinkPath(9), ResolvePortName("\\\\.\\COM9"));
}

TEST(ComPortMapTest, OtherNamesResolveToNothing) {
    ScopedConfigHome home;
    for (const char* name : {"\\\\.\\COM99", "\\\\.\\COM", "\\\\.\\COMx", "\\\\.\\COM3 ",
                             "\\\\.\\COM03", "COM3", "ttyS0", "relative/port", ""}) {
        EXPECT_FALSE(ResolvePortName(name)) << name;
    }
}

TEST(PortTextTest, NumberIsReadAfterThePrefixAndKeepsItsLowEightBits) {
    EXPECT_EQ(3, PortNumberFromText("COM3"));
    EXPECT_EQ(12, PortNumberFromText("COM12"));
    EXPECT_EQ(44, PortNumberFromText("COM300"));
    EXPECT_EQ(255, PortNumberFromText("COM255"));
    EXPECT_EQ(0, PortNumberFromText("COM256"));
    EXPECT_EQ(7, PortNumberFromText("com7")) << "the prefix is not examined";
    EXPECT_EQ(5, PortNumberFromText("XYZ5"));
}

TEST(PortTextTest, NumberIsReadTheWayAtoiReadsIt) {
    EXPECT_EQ(0, PortNumberFromText("COM"));
    EXPECT_EQ(0, PortNumberFromText("COMx"));
    EXPECT_EQ(12, PortNumberFromText("COM 12"));
    EXPECT_EQ(12, PortNumberFromText("COM+12"));
    EXPECT_EQ(12, PortNumberFromText("COM12ab"));
    EXPECT_EQ(255, PortNumberFromText("COM-1"));
}

TEST(PortTextTest, ShortTextsGiveZeroAndLongTextsFollowTheSameRule) {
    EXPECT_EQ(0, PortNumberFromText(""));
    EXPECT_EQ(0, PortNumberFromText("CO"));
    EXPECT_EQ(0, PortNumberFromText("3"));
    EXPECT_EQ(1234567890 % 256, PortNumberFromText("COM1234567890"));
    EXPECT_EQ(7, PortNumberFromText("COM" + std::string(50, '0') + "7"));
    // 10^20 - 1 is far beyond any integer type; its low 8 bits are 255.
    EXPECT_EQ(255, PortNumberFromText("COM" + std::string(20, '9')));
}

TEST(PortTextTest, NumberToTextAndBackAgain) {
    EXPECT_EQ("COM3", PortTextFromNumber(3));
    EXPECT_EQ("COM0", PortTextFromNumber(0));
    EXPECT_EQ("COM255", PortTextFromNumber(255));
    for (int number = 0; number <= 255; ++number) {
        const auto port = static_cast<uint8_t>(number);
        EXPECT_EQ(port, PortNumberFromText(PortTextFromNumber(port)));
    }
}

}  // namespace
