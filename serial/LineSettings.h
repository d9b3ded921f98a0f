#pragma once

#include <termios.h>

#include <cstdint>

// Every termios flag the serial port class sets lives in LineSettings.cpp, so the line's
// whole configuration reads in one place. Each function reads the port's settings,
// changes what it names, writes them back and returns 0 or errno.
namespace line_settings {

struct Format {
    uint32_t baud;
    uint8_t byteSize;  // 5..8
    uint8_t parity;    // CSerial parity code: none, odd, even, mark, space
    uint8_t stopBits;  // CSerial stop-bit code: one, one and a half, two
};

// Raw mode with the given character format; flow control stays as it was. The settings
// are read back: kSerialLineRefused when the tty kept others.
int ApplyFormat(int fd, const Format& format);
// Whether a tty took a format: readBack and baudHeld as read back after setting it, baud
// and format (the CSIZE, PARENB, PARODD, CMSPAR and CSTOPB bits) as asked.
bool FormatTaken(const termios& readBack, uint32_t baudHeld, uint32_t baud, tcflag_t format,
                 bool pseudoTerminal);

// Raw mode with the format and no flow control of any kind.
int ApplyFormatWithoutFlowControl(int fd, const Format& format);
// 0 none, 1 RTS/CTS, 2 XON/XOFF. Other modes are refused by the caller.
int ApplyHandshake(int fd, int mode);

struct State {
    bool marksErrors;  // input bytes come marked (PARMRK); see MarkedInput.h
    int byteSize;
    int parity;  // parity code when parity checking is on, else none
    int stopBits;
    int handshake;
};
int ReadState(int fd, State& state);

// Raises or drops modem lines (TIOCM_DTR, TIOCM_RTS bits).
int SetModemLines(int fd, int lines, bool raised);
// Modem lines for callers that must work on ports without any (ptys answer ENOTTY).
int SetModemLinesIfPresent(int fd, int lines, bool raised);
int DtrAndRts();
int Rts();

}  // namespace line_settings
