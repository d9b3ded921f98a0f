#pragma once

#include <cstdint>

// Status values of the serial port class. They keep the numbers of the Win32 error
// codes the rest of the program was designed around; any other non-zero status is the
// platform's own error (errno on POSIX, GetLastError on Windows), or one of this program's own (bit
// 29 set, as Win32 keeps for application codes).
using SerialStatus = int32_t;

inline constexpr SerialStatus kSerialSuccess = 0;         // ERROR_SUCCESS
inline constexpr SerialStatus kSerialFileNotFound = 2;    // ERROR_FILE_NOT_FOUND (== ENOENT)
inline constexpr SerialStatus kSerialInvalidHandle = 6;   // ERROR_INVALID_HANDLE: port not open
inline constexpr SerialStatus kSerialInterrupted = 995;   // ERROR_OPERATION_ABORTED: woken up
inline constexpr SerialStatus kSerialAlreadyOpen = 1247;  // ERROR_ALREADY_INITIALIZED
inline constexpr SerialStatus kSerialTimeout = 1460;      // ERROR_TIMEOUT
inline constexpr SerialStatus kSerialInvalidArg =
    static_cast<SerialStatus>(0x80070057);  // E_INVALIDARG
// The device is one of the kernel's consoles; it is never opened.
inline constexpr SerialStatus kSerialKernelConsole = 0x20000001;
// The tty did not take the line format it was given (read back after setting it).
inline constexpr SerialStatus kSerialLineRefused = 0x20000002;

// What driving RTS gives on a port without modem lines: ENOTTY from a pty, and
// ERROR_NOT_SUPPORTED from Wine's ports over a pty.
extern const SerialStatus kSerialNoModemLines;
// Whether a status only says that the port has no modem lines (a pty, an adapter wired
// without them): the line works, but RTS and DTR cannot be driven.
bool LacksModemLines(SerialStatus status);

// A short English description of a status, for logs and the command line.
const char* SerialStatusText(SerialStatus status);
// The platform's own text for one of its error codes (strerror, FormatMessage).
const char* PlatformErrorText(SerialStatus status);
