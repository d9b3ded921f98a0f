// libFuzzer entry: arbitrary line bytes through the link's reception, its commands and
// the decoders.
#include "LinkFuzzHarness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    linkfuzz::RunOne(data, size);
    return 0;
}
