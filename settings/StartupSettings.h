#pragma once

#include <QString>
#include <cstdint>

#include "settings/Profile.h"

// The COM port that start-up restores from the settings, and whether the port chooser
// must open because no port has been chosen yet.
struct RestoredPort {
    uint8_t nComPort = 0;
    bool bPromptComPort = false;
};

// Reads "Modem Server Preferences"/"SearchSerialPort", falling back to "Tralvo"/"COM PORT".
// With writeBack, a first run stores "COM99" (as start-up does); without, nothing is
// written (the command-line tool only reads settings).
RestoredPort RestoreComPort(CProfile& profile, bool writeBack);

// Stores the chosen port text ("COM5") where RestoreComPort reads it.
bool StorePort(CProfile& profile, const QString& portText);

// The interface language stored under "Settings"/"Language" ("English" when none is), and
// storing it.
QString StoredLanguage(const CProfile& profile);
bool StoreLanguage(CProfile& profile, const QString& languageName);

// The port number of a stored port text: read from the fourth character on, low 8 bits
// ("COM3" -> 3, "COM300" -> 44, "com7" -> 7, "COM" -> 0).
uint8_t PortNumberFromSetting(const QString& portText);
