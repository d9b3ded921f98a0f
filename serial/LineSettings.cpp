#include "serial/LineSettings.h"

#include <sys/ioctl.h>
#include <termios.h>

#include <cerrno>

#include "serial/LineSpeed.h"
#include "serial/PortIo.h"
#include "serial/SerialStatus.h"

namespace line_settings {
namespace {

// CSerial's parity and stop-bit codes (the values the rest of the program uses).
constexpr uint8_t kParityNone = 0, kParityOdd = 1, kParityEven = 2, kParityMark = 3,
                  kParitySpace = 4;
constexpr uint8_t kStopOne = 0, kStopOneAndHalf = 1, kStopTwo = 2;
constexpr tcflag_t kFormatFlags = CSIZE | PARENB | PARODD | CMSPAR | CSTOPB;

constexpr struct {
    uint32_t baud;
    speed_t speed;
} kSpeeds[] = {{50, B50},         {75, B75},         {110, B110},       {134, B134},
               {150, B150},       {200, B200},       {300, B300},       {600, B600},
               {1200, B1200},     {1800, B1800},     {2400, B2400},     {4800, B4800},
               {9600, B9600},     {19200, B19200},   {38400, B38400},   {57600, B57600},
               {115200, B115200}, {230400, B230400}, {460800, B460800}, {921600, B921600}};

bool StandardSpeed(uint32_t baud, speed_t& speed) {
    for (const auto& entry : kSpeeds) {
        if (entry.baud == baud) {
            speed = entry.speed;
            return true;
        }
    }
    return false;
}

bool CharacterSize(uint8_t byteSize, tcflag_t& flag) {
    switch (byteSize) {
        case 5:
            flag = CS5;
            return true;
        case 6:
            flag = CS6;
            return true;
        case 7:
            flag = CS7;
            return true;
        case 8:
            flag = CS8;
            return true;
        default:
            return false;
    }
}

// PARODD and CMSPAR survive on a pty even though the kernel clears PARENB there, so the
// parity code is read from them and INPCK (parity checking) rather than from PARENB.
bool ParityFlags(uint8_t parity, tcflag_t& flags) {
    switch (parity) {
        case kParityNone:
            flags = 0;
            return true;
        case kParityOdd:
            flags = PARENB | PARODD;
            return true;
        case kParityEven:
            flags = PARENB;
            return true;
        case kParityMark:
            flags = PARENB | PARODD | CMSPAR;
            return true;
        case kParitySpace:
            flags = PARENB | CMSPAR;
            return true;
        default:
            return false;
    }
}

bool StopBitFlag(uint8_t stopBits, tcflag_t& flag) {
    switch (stopBits) {
        case kStopOne:
            flag = 0;
            return true;
        case kStopOneAndHalf:  // the UART gives 1.5 stop bits for CSTOPB with 5-bit characters
        case kStopTwo:
            flag = CSTOPB;
            return true;
        default:
            return false;
    }
}

// No line editing, no translation, no signals; reads with O_NONBLOCK and VMIN 1 answer
// EAGAIN when nothing is there, so a read of 0 bytes only ever means the line hung up.
void MakeRaw(termios& t) {
    t.c_iflag &=
        ~(IGNBRK | BRKINT | IGNPAR | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IUCLC | IMAXBEL);
    t.c_oflag &= ~OPOST;
    t.c_lflag &= ~(ECHO | ECHONL | ECHOE | ECHOK | ICANON | ISIG | IEXTEN);
    t.c_cflag |= CLOCAL | CREAD;
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
}

void ClearFlowControl(termios& t) {
    t.c_cflag &= ~CRTSCTS;
    t.c_iflag &= ~(IXON | IXOFF | IXANY);
}

// Reads the port's settings, lets `change` edit them and writes them back.
template <typename Change>
int ModifySettings(int fd, Change change) {
    termios t{};
    if (tcgetattr(fd, &t) != 0) return errno;
    change(t);
    return tcsetattr(fd, TCSANOW, &t) == 0 ? 0 : errno;
}

// The speed the tty holds: a standard one from its constant, any other through termios2.
uint32_t SpeedHeld(int fd, const termios& t) {
    const speed_t held = cfgetospeed(&t);
    for (const auto& entry : kSpeeds) {
        if (entry.speed == held) return entry.baud;
    }
    uint32_t baud = 0;
    return GetLineSpeed(fd, baud) == 0 ? baud : 0;
}

}  // namespace

bool FormatTaken(const termios& readBack, uint32_t baudHeld, uint32_t baud, tcflag_t format,
                 bool pseudoTerminal) {
    tcflag_t taken = readBack.c_cflag & kFormatFlags;
    // A pty has no parity generator and drops PARENB; that alone is accepted.
    if (pseudoTerminal) taken |= format & PARENB;
    return taken == format && baudHeld == baud;
}

namespace {

// Linux reports success when any part of a change took, so the settings are read back.
int CheckTaken(int fd, tcflag_t format, uint32_t baud) {
    termios t{};
    if (tcgetattr(fd, &t) != 0) return errno;
    return FormatTaken(t, SpeedHeld(fd, t), baud, format, port_io::IsPseudoTerminal(fd))
               ? 0
               : kSerialLineRefused;
}

int Apply(int fd, const Format& format, bool withoutFlowControl) {
    tcflag_t size = 0, parity = 0, stop = 0;
    if (format.baud == 0) return EINVAL;  // B0 would hang up the line
    if (!CharacterSize(format.byteSize, size) || !ParityFlags(format.parity, parity) ||
        !StopBitFlag(format.stopBits, stop)) {
        return EINVAL;
    }
    speed_t speed = B0;
    const bool standard = StandardSpeed(format.baud, speed);
    LineSnapshot before;
    if (const int error = TakeLineSnapshot(fd, before)) return error;
    const int error = ModifySettings(fd, [&](termios& t) {
        MakeRaw(t);
        if (withoutFlowControl) ClearFlowControl(t);
        t.c_cflag &= ~kFormatFlags;
        t.c_cflag |= size | parity | stop;
        // Parity is checked, and a bad byte is marked rather than replaced by 0x00, so that
        // it reaches the reader as received and is counted (see MarkedInput.h).
        if (parity != 0) {
            t.c_iflag |= INPCK | PARMRK;
        } else {
            t.c_iflag &= ~(INPCK | PARMRK);
        }
        if (standard) {
            cfsetispeed(&t, speed);
            cfsetospeed(&t, speed);
        }
    });
    if (error) return error;
    if (!standard) {
        if (const int speedError = SetLineSpeed(fd, format.baud)) return speedError;
    }
    const int taken = CheckTaken(fd, size | parity | stop, format.baud);
    // Linux takes what it can of a format; one it refused leaves the line as it was.
    if (taken == kSerialLineRefused) RestoreLineSnapshot(fd, before);
    return taken;
}

int ParityCode(const termios& t) {
    if (!(t.c_iflag & INPCK)) return kParityNone;
    const bool odd = t.c_cflag & PARODD;
    if (t.c_cflag & CMSPAR) return odd ? kParityMark : kParitySpace;
    return odd ? kParityOdd : kParityEven;
}

int Handshake(const termios& t) {
    if (t.c_cflag & CRTSCTS) return 1;
    if ((t.c_iflag & IXON) && (t.c_iflag & IXOFF)) return 2;
    return 0;
}

int ByteSize(const termios& t) {
    switch (t.c_cflag & CSIZE) {
        case CS5:
            return 5;
        case CS6:
            return 6;
        case CS7:
            return 7;
        default:
            return 8;
    }
}

}  // namespace

int ApplyFormat(int fd, const Format& format) { return Apply(fd, format, false); }

int ApplyFormatWithoutFlowControl(int fd, const Format& format) { return Apply(fd, format, true); }

int ApplyHandshake(int fd, int mode) {
    return ModifySettings(fd, [mode](termios& t) {
        ClearFlowControl(t);
        if (mode == 1) t.c_cflag |= CRTSCTS;
        if (mode == 2) t.c_iflag |= IXON | IXOFF;
    });
}

int ReadState(int fd, State& state) {
    termios t{};
    if (tcgetattr(fd, &t) != 0) return errno;
    state.marksErrors = (t.c_iflag & PARMRK) != 0;
    state.byteSize = ByteSize(t);
    state.parity = ParityCode(t);
    state.stopBits = (t.c_cflag & CSTOPB) ? kStopTwo : kStopOne;
    state.handshake = Handshake(t);
    return 0;
}

int SetModemLines(int fd, int lines, bool raised) {
    if (ioctl(fd, raised ? TIOCMBIS : TIOCMBIC, &lines) != 0) return errno;
    return 0;
}

int SetModemLinesIfPresent(int fd, int lines, bool raised) {
    const int error = SetModemLines(fd, lines, raised);
    return LacksModemLines(error) ? 0 : error;
}

int DtrAndRts() { return TIOCM_DTR | TIOCM_RTS; }
int Rts() { return TIOCM_RTS; }

}  // namespace line_settings
