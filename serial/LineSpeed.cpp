#include "serial/LineSpeed.h"

#include <asm/ioctls.h>
#include <asm/termbits.h>

#include <cerrno>

// <sys/ioctl.h> drags in glibc's terminal types, which clash with the kernel's.
extern "C" int ioctl(int fd, unsigned long request, ...);

int SetLineSpeed(int fd, uint32_t baud) {
    struct termios2 settings {};
    if (ioctl(fd, TCGETS2, &settings) != 0) return errno;
    settings.c_cflag &= ~(CBAUD | (CBAUD << IBSHIFT));
    settings.c_cflag |= BOTHER | (BOTHER << IBSHIFT);
    settings.c_ospeed = baud;
    settings.c_ispeed = baud;
    if (ioctl(fd, TCSETS2, &settings) != 0) return errno;
    return 0;
}

int GetLineSpeed(int fd, uint32_t& baud) {
    struct termios2 settings {};
    if (ioctl(fd, TCGETS2, &settings) != 0) return errno;
    baud = settings.c_ospeed;
    return 0;
}
