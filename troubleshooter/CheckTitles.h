#pragma once

#include "troubleshooter/CheckText.h"

// The checks' titles in English, marked for translation; CheckText gives them in the
// interface language. One place, because a check that was not run carries the same title.
inline constexpr const char* kDeviceTitle = QT_TRANSLATE_NOOP("Troubleshooter", "Device");
inline constexpr const char* kAccessTitle = QT_TRANSLATE_NOOP("Troubleshooter", "Access");
inline constexpr const char* kHoldersTitle =
    QT_TRANSLATE_NOOP("Troubleshooter", "Other users of the port");
inline constexpr const char* kServicesTitle =
    QT_TRANSLATE_NOOP("Troubleshooter", "Services that grab serial ports");
inline constexpr const char* kOpenTitle =
    QT_TRANSLATE_NOOP("Troubleshooter", "Open at 1200 baud 8O1");
inline constexpr const char* kHartPollTitle =
    QT_TRANSLATE_NOOP("Troubleshooter", "HART identity poll at address 0");
inline constexpr const char* kDriverTitle = QT_TRANSLATE_NOOP("Troubleshooter", "Driver");
