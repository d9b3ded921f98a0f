#pragma once

#include <cstdint>

// Any line speed, including those without a standard B constant (14400, 56000, 128000,
// 256000), through the kernel's termios2 interface. Kept apart from <termios.h>, whose
// definitions clash with <asm/termbits.h>. Both return 0 or errno.
int SetLineSpeed(int fd, uint32_t baud);
int GetLineSpeed(int fd, uint32_t& baud);
