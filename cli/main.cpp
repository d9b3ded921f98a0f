// tralvo-cli: Tralvo's modem tests without the window, for scripts and production lines.
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "cli/ConsoleText.h"
#include "cli/DescriptorStream.h"
#include "cli/Dispatch.h"
#include "cli/ExitCodes.h"
#include "cli/Interrupt.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    PrepareConsoleText();
    int status = 0;
    {
        // Standard output through a stream that keeps the reason of a failed write, so that a
        // full disk or a closed pipe is reported rather than passed over; a write cut by a
        // stop signal is not tried again.
        CDescriptorStream out(STDOUT_FILENO, [] { return !Interrupted(); });
        status = RunCli(args, std::cin, out, std::cerr);
    }
    // Some file systems report a failed write only when the file is closed. Nothing to
    // close (EBADF) lost nothing.
    if (close(STDOUT_FILENO) != 0 && errno != EBADF && errno != EINTR && status < kExitUsage) {
        std::cerr << "tralvo-cli: cannot write standard output: " << std::strerror(errno)
                  << "; the output is incomplete\n";
        return kExitIoError;
    }
    return status;
}
