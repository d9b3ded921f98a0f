#include "serial/ComNumberText.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

// One text through every reader: each rule is seen from outside, so each keeps its answer.
struct Reading {
    std::string text;
    uint8_t stored;                 // PortNumberFromText
    uint32_t listed;                // ListedPortNumber
    std::optional<uint8_t> typed;   // TypedPortNumber
    std::optional<unsigned> exact;  // ExactPortNumber
};

const Reading kReadings[] = {
    {"COM33", 33, 33, 33, 33},
    {"com33", 33, 0, 33, std::nullopt},
    {"Com33", 33, 0, 33, std::nullopt},
    {"33", 0, 0, 33, std::nullopt},
    {" COM33 ", 0, 0, 33, std::nullopt},
    {"COM033", 33, 33, 33, std::nullopt},
    {"COM0", 0, 0, 0, std::nullopt},
    {"COM255", 255, 255, 255, 255},
    {"COM256", 0, 256, std::nullopt, std::nullopt},
    {"COM300", 44, 300, std::nullopt, std::nullopt},
    {"COM+12", 12, 12, std::nullopt, std::nullopt},
    {"COM-1", 255, 0xFFFFFFFFu, std::nullopt, std::nullopt},
    {"COM12ab", 12, 12, std::nullopt, std::nullopt},
    {"COM Port COM5", 0, 0, std::nullopt, std::nullopt},
    {"COM4294967296", 0, 0, std::nullopt, std::nullopt},
    {"COM", 0, 0, std::nullopt, std::nullopt},
    {"COM" + std::string(30, '9'), 255, 0xFFFFFFFFu, std::nullopt, std::nullopt},
};

TEST(ComNumberText, EachRuleReadsTheSameTextsItsOwnWay) {
    for (const Reading& reading : kReadings) {
        SCOPED_TRACE("'" + reading.text + "'");
        EXPECT_EQ(PortNumberFromText(reading.text), reading.stored);
        EXPECT_EQ(ListedPortNumber(reading.text), reading.listed);
        EXPECT_EQ(TypedPortNumber(reading.text), reading.typed);
        EXPECT_EQ(ExactPortNumber(reading.text), reading.exact);
    }
}

TEST(ComNumberText, WrittenNamesAreReadBackExactly) {
    for (unsigned number = 1; number <= 255; ++number) {
        EXPECT_EQ(ExactPortNumber(PortTextFromNumber(number)), number);
        EXPECT_EQ(ComDeviceNumber(ComDeviceName(number)), number);
    }
    EXPECT_EQ(ComDeviceName(3), "\\\\.\\COM3");
    for (const char* name : {"\\\\.\\COM0", "\\\\.\\COM256", "\\\\.\\COM03", "\\\\.\\com3",
                             "\\\\.\\COM3 ", "COM3", "\\\\.\\"}) {
        EXPECT_EQ(ComDeviceNumber(name), std::nullopt) << name;
    }
}

}  // namespace
