#pragma once

#include <cstdint>

// Status values of the serial port class. They keep the numbers of the Win32 error
// codes the rest of the program was designed around; any other non-zero status is the
// platform's own error (errno).
using SerialStatus = int32_t;

inline constexpr SerialStatus kSerialSuccess = 0;              // ERROR_SUCCESS
inline constexpr SerialStatus kSerialFileNotFound = 2;         // ERROR_FILE_NOT_FOUND (== ENOENT)
inline constexpr SerialStatus kSerialInvalidHandle = 6;        // ERROR_INVALID_HANDLE: port not open
inline constexpr SerialStatus kSerialAlreadyOpen = 1247;       // ERROR_ALREADY_INITIALIZED
inline constexpr SerialStatus kSerialTimeout = 1460;           // ERROR_TIMEOUT
inline constexpr SerialStatus kSerialInvalidArg = static_cast<SerialStatus>(0x80070057);  // E_INVALIDARG
