#pragma once

#include <cstdlib>
#include <string>

// The tralvo-cli program the build made; TRALVO_BUILD_DIR points at another build if set.
inline std::string CliProgram() {
    if (const char* build = std::getenv("TRALVO_BUILD_DIR"))
        return std::string(build) + "/cli/tralvo-cli";
    return TRALVO_CLI_PROGRAM;
}
