#include "serial/LineSpeed.h"

#include <asm/ioctls.h>
#include <asm/termbits.h>

#include <cerrno>
#include <cstring>

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

static_assert(sizeof(struct termios2) <= sizeof(LineSnapshot::settings));

int TakeLineSnapshot(int fd, LineSnapshot& snapshot) {
    struct termios2 settings {};
    snapshot.taken = ioctl(fd, TCGETS2, &settings) == 0;
    if (!snapshot.taken) return errno;
    std::memcpy(snapshot.settings, &settings, sizeof settings);
    return 0;
}

int RestoreLineSnapshot(int fd, const LineSnapshot& snapshot) {
    if (!snapshot.taken) return 0;
    struct termios2 settings {};
    std::memcpy(&settings, snapshot.settings, sizeof settings);
    return ioctl(fd, TCSETS2, &settings) == 0 ? 0 : errno;
}
