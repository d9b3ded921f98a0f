// Placeholder until the decoders land.
#include "hart/Encoding.h"

void UnpackAscii(const uint8_t*, char* text, uint8_t) { text[0] = 0; }
void DecodeFloat(float* value, const uint8_t*) { *value = 0; }
