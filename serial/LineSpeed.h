#pragma once

#include <cstdint>

// Any line speed, including those without a standard B constant (14400, 56000, 128000,
// 256000), through the kernel's termios2 interface. Kept apart from <termios.h>, whose
// definitions clash with <asm/termbits.h>. Both return 0 or errno.
int SetLineSpeed(int fd, uint32_t baud);
int GetLineSpeed(int fd, uint32_t& baud);

// The whole of a line's settings, custom speeds included, as found, so that they can be
// put back when the port is given up (a shared adapter is left as it was).
struct LineSnapshot {
    unsigned char settings[64];
    bool taken = false;
};
int TakeLineSnapshot(int fd, LineSnapshot& snapshot);
int RestoreLineSnapshot(int fd, const LineSnapshot& snapshot);
