// libFuzzer entry: arbitrary line bytes and port failures through the link's transfers, its
// commands and the decoders, each operation held to its time bound in virtual time.
#include "LinkFuzzHarness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    linkfuzz::RunOne(data, size);
    return 0;
}
