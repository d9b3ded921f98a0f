// Packed ASCII text and big-endian floats from reply payloads.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "hart/Encoding.h"

namespace {

// The text buffer as the callers hold it, filled with a mark to see what is written.
struct Text {
    char bytes[22];
    Text() { std::memset(bytes, '#', sizeof bytes); }
    std::string First(size_t n) const { return std::string(bytes, n); }
    bool ZeroFrom(size_t from, size_t to) const {
        for (size_t i = from; i < to; ++i)
            if (bytes[i] != 0) return false;
        return true;
    }
};

Text Unpack(std::vector<uint8_t> packed) {
    Text text;
    UnpackAscii(packed.data(), text.bytes, static_cast<uint8_t>(packed.size()));
    return text;
}

TEST(UnpackAscii, GivesTheEightCharactersOfATagAndZerosAfterThem) {
    const Text text = Unpack({0x50, 0x11, 0xF1, 0x82, 0x08, 0x20});
    EXPECT_EQ(text.First(8), "TAG1    ");
    EXPECT_TRUE(text.ZeroFrom(8, 21));
    EXPECT_STREQ(text.bytes, "TAG1    ");
}

TEST(UnpackAscii, DecodesTheLettersAToH) {
    EXPECT_EQ(Unpack({0x04, 0x20, 0xC4, 0x14, 0x61, 0xC8}).First(8), "ABCDEFGH");
}

TEST(UnpackAscii, DecodesDigitsAndPunctuation) {
    EXPECT_EQ(Unpack({0x41, 0x4B, 0x71, 0xC3, 0x18, 0x20}).First(8), "PT-101  ");
}

TEST(UnpackAscii, CodesWithBit5ClearGainSixtyFourAndTheOthersStay) {
    // 0x01 then 0x21: a lower-case a packed by its low six bits comes back as '!'.
    const Text text = Unpack({0x00, 0x10, 0x21});
    EXPECT_EQ(text.First(4), std::string("@A@!"));
}

TEST(UnpackAscii, IgnoresBytesOfAnIncompleteGroup) {
    const Text seven = Unpack({0x04, 0x20, 0xC4, 0x14, 0x61, 0xC8, 0xFF});
    EXPECT_EQ(seven.First(8), "ABCDEFGH");
    EXPECT_TRUE(seven.ZeroFrom(8, 21));
    EXPECT_TRUE(Unpack({0x04, 0x20}).ZeroFrom(0, 21));
}

TEST(UnpackAscii, NeverWritesPastTheTwentySecondByteAndKeepsTheTextTerminated) {
    const Text text = Unpack(std::vector<uint8_t>(255, 0x04));
    EXPECT_EQ(text.bytes[21], 0);
    EXPECT_EQ(std::strlen(text.bytes), 21u);
}

float Decode(std::vector<uint8_t> bytes) {
    float value = 0;
    DecodeFloat(&value, bytes.data());
    return value;
}

TEST(DecodeFloat, ReadsTheMostSignificantByteFirst) {
    EXPECT_EQ(Decode({0x40, 0x80, 0x00, 0x00}), 4.0f);
    EXPECT_EQ(Decode({0x41, 0xA0, 0x00, 0x00}), 20.0f);
    EXPECT_EQ(Decode({0xBF, 0x80, 0x00, 0x00}), -1.0f);
    EXPECT_EQ(Decode({0x41, 0x40, 0x00, 0x01}), std::nextafter(12.0f, 13.0f));
}

TEST(DecodeFloat, PassesSpecialPatternsThroughUnchanged) {
    EXPECT_TRUE(std::isnan(Decode({0x7F, 0xC0, 0x00, 0x00})));
    EXPECT_TRUE(std::isinf(Decode({0xFF, 0x80, 0x00, 0x00})));
}

}  // namespace
