// The entries start-up restores: the COM port and the interface language.
#include "settings/StartupSettings.h"

#include "serial/ComNumberText.h"

namespace {

const QString kPortSection = QStringLiteral("Modem Server Preferences");
const QString kPortEntry = QStringLiteral("SearchSerialPort");
const QString kLegacySection = QStringLiteral("Tralvo");
const QString kLegacyEntry = QStringLiteral("COM PORT");
const QString kLanguageSection = QStringLiteral("Settings");
const QString kLanguageEntry = QStringLiteral("Language");
// The stored text that means "no port chosen yet".
const QString kNoPortText = QStringLiteral("COM99");
constexpr uint8_t kNoPortNumber = 99;

}  // namespace

uint8_t PortNumberFromSetting(const QString& portText) {
    // One byte per character, as the ANSI code page gives it, so the number is still read
    // from the fourth character on whatever the first three are.
    return PortNumberFromText(portText.toLatin1().toStdString());
}

RestoredPort RestoreComPort(CProfile& profile, bool writeBack) {
    const QString portText = profile.GetProfileString(kPortSection, kPortEntry, kNoPortText);
    if (portText != kNoPortText) return {PortNumberFromSetting(portText), false};

    // The older integer entry is only ever read, as a fallback.
    const int legacyPort = profile.GetProfileInt(kLegacySection, kLegacyEntry, 0);
    if (legacyPort != 0) return {static_cast<uint8_t>(legacyPort), false};

    if (writeBack) StorePort(profile, kNoPortText);
    return {kNoPortNumber, true};
}

bool StorePort(CProfile& profile, const QString& portText) {
    return profile.WriteProfileString(kPortSection, kPortEntry, portText);
}

QString StoredLanguage(const CProfile& profile) {
    return profile.GetProfileString(kLanguageSection, kLanguageEntry, QStringLiteral("English"));
}

bool StoreLanguage(CProfile& profile, const QString& languageName) {
    return profile.WriteProfileString(kLanguageSection, kLanguageEntry, languageName);
}
