#include "hart/Encoding.h"

#include <cstring>

namespace {

constexpr size_t kClearedChars = 21;
constexpr size_t kLastTextPos = 21;  // the text buffer holds 22 bytes
constexpr uint8_t kCodeBit5 = 0x20;
constexpr uint8_t kUpperBlockOffset = 0x40;

char CharFromCode(uint8_t code) {
    return static_cast<char>(code & kCodeBit5 ? code : code + kUpperBlockOffset);
}

}  // namespace

void UnpackAscii(const uint8_t* packed, char* text, uint8_t byteCount) {
    std::memset(text, 0, kClearedChars);
    const size_t groups = byteCount / 3;
    for (size_t g = 0; g < groups; ++g) {
        const uint8_t* group = packed + 3 * g;
        const uint32_t bits = uint32_t{group[0]} << 16 | uint32_t{group[1]} << 8 | group[2];
        for (size_t k = 0; k < 4; ++k) {
            const size_t pos = 4 * g + k;
            const uint8_t code = static_cast<uint8_t>(bits >> (18 - 6 * k) & 0x3F);
            // Past the buffer the text is cut off, and the last place keeps it terminated.
            if (pos > kLastTextPos)
                text[kLastTextPos] = 0;
            else
                text[pos] = CharFromCode(code);
        }
    }
}

void DecodeFloat(float* value, const uint8_t* bytes) {
    const uint32_t bits =
        uint32_t{bytes[0]} << 24 | uint32_t{bytes[1]} << 16 | uint32_t{bytes[2]} << 8 | bytes[3];
    static_assert(sizeof(float) == sizeof bits);
    std::memcpy(value, &bits, sizeof bits);
}
