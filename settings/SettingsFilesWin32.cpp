// On Windows the store is a registry key, which QSettings' native format opens without
// blocking whatever it holds.
#include "settings/SettingsFiles.h"

QString SettingsStorePath(const QString& registryKey, const QString& profileName) {
    return QStringLiteral("HKEY_CURRENT_USER\\Software\\") + registryKey + u'\\' + profileName;
}

bool IsOpenableSettingsFile(const QString&) { return true; }

bool IsUsableLockFile(const QString&) { return true; }
