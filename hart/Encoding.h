#pragma once

#include <cstdint>

// Packed ASCII: 3 bytes carry 4 six-bit characters. text needs room for 22 bytes.
void UnpackAscii(const uint8_t* packed, char* text, uint8_t byteCount);

// Big-endian IEEE 754 single-precision float from 4 bytes.
void DecodeFloat(float* value, const uint8_t* bytes);
