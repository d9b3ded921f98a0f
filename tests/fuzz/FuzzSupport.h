#pragma once

#include <stdlib.h>
#include <unistd.h>

#include <cstdlib>

// What the plain-C++ fuzz targets share.
namespace fuzzsupport {

// A broken promise is a finding: stop where the fuzzer can see it.
inline void Require(bool holds) {
    if (!holds) __builtin_trap();
}

// An empty settings folder for the whole run: no COM<n> links, so only the fixed ranges map,
// whatever the machine running the fuzzer has linked. It goes when the run ends.
inline void UseEmptyConfigHome() {
    static char folder[] = "/tmp/tralvo-fuzz-config-XXXXXX";
    if (!mkdtemp(folder)) __builtin_trap();
    setenv("XDG_CONFIG_HOME", folder, 1);
    std::atexit([] { rmdir(folder); });
}

}  // namespace fuzzsupport
