#pragma once

#include <QString>

// Where QSettings keeps the store of a (registry key, profile) pair in its native format: on
// Linux the file $XDG_CONFIG_HOME/<registry key>/<profile>.conf, looked up on every call so
// that tests may point it elsewhere at any time; on Windows the registry key
// HKEY_CURRENT_USER\Software\<registry key>\<profile>.
QString SettingsStorePath(const QString& registryKey, const QString& profileName);

// What the store may hand to QSettings. QSettings opens whatever it finds at a path: a FIFO
// blocks that open for ever and a device may never reach its end, so only regular files
// (or nothing at all) are ever given to it.

// The settings file at path may be opened: it is a regular file, or a link to one, or it is
// missing (which reads as the defaults).
bool IsOpenableSettingsFile(const QString& path);

// The lock file QSettings takes beside a store while it writes (<file>.lock) can be used:
// missing or a regular file. QLockFile reads any lock file it finds and waits for it to go
// stale, which a FIFO, a folder or a link that leads nowhere never does.
bool IsUsableLockFile(const QString& path);

// The lock file QSettings takes for the store file at path. The registry needs neither
// check: on Windows every store may be opened.
inline QString LockFileOf(const QString& settingsFile) {
    return settingsFile + QStringLiteral(".lock");
}
