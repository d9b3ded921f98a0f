#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "cli/CaptureOpen.h"

namespace {

std::string OpenFailureReason(int error) {
    // O_NOFOLLOW reports a link in the file's place as a loop of links.
    if (error == ELOOP) return "it is a symbolic link, which tralvo-cli does not follow";
    if (error == ENXIO) return "no program is reading the FIFO";
    return std::strerror(error);
}

}  // namespace

int OpenCaptureDescriptor(const std::string& path, std::string& error) {
    // Non-blocking only for the open: a FIFO nobody reads fails at once instead of hanging.
    const int fd = open(path.c_str(),
                        O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK, 0666);
    if (fd < 0) {
        error = OpenFailureReason(errno);
        return -1;
    }
    const int flags = fcntl(fd, F_GETFL);
    if (flags != -1) fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    return fd;
}
