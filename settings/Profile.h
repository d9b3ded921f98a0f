#pragma once

#include <QString>

// The per-user settings store. A value lives at (section, entry) in the store named by
// the current registry key name and profile name: the file
// $XDG_CONFIG_HOME/<registry key>/<profile>.conf (~/.config when XDG_CONFIG_HOME is unset
// or relative, ConfigHomeFolder in paths/ConfigPaths.h). Every write reaches the disk at once.
// A store file that is not a regular file is never opened: reads give the defaults and
// writes are refused; so is a store file that cannot be read. Such a file and every failed
// write are noted (SettingsTrouble.h).
class CProfile {
public:
    QString GetProfileString(const QString& section, const QString& entry,
                             const QString& defaultValue) const;
    int GetProfileInt(const QString& section, const QString& entry, int defaultValue) const;
    bool WriteProfileString(const QString& section, const QString& entry, const QString& value);

    QString m_pszRegistryKey;  // kTralvoRegistryKey once start-up has set it
    QString m_pszProfileName = QStringLiteral("Tralvo");
};

// The registry key of Tralvo's own store, which the window, tralvo-cli and the
// troubleshooter all read.
inline const QString kTralvoRegistryKey = QStringLiteral("Brenlow");

// The application's store (the one start-up keys to kTralvoRegistryKey).
CProfile& AppProfile();
