// The settings store: one QSettings store per (registry key, profile) pair, opened for each
// call so that a change of the key or profile name takes effect at the very next call.
#include "settings/Profile.h"

#include <QFile>
#include <QSettings>

#include "settings/SettingsFiles.h"
#include "settings/SettingsTrouble.h"

namespace {

QString StoreFile(const CProfile& profile) {
    return SettingsStorePath(profile.m_pszRegistryKey, profile.m_pszProfileName);
}

QString Key(const QString& section, const QString& entry) { return section + u'/' + entry; }

// A file that QSettings must not open is left alone and noted; the caller then behaves
// as if the store did not exist (reads) or could not be written (writes).
bool MayOpen(const QString& file, bool (*isUsable)(const QString&)) {
    if (isUsable(file)) return true;
    NoteSettingsTrouble(SettingsTrouble::NotARegularFile, file);
    return false;
}

// QSettings reads the file when it is made; a file it may not read (no permission) reads as
// empty, and a write would replace it with only the value written: both are refused.
bool Unreadable(const QSettings& store, const QString& file) {
    if (store.status() != QSettings::AccessError || !QFile::exists(file)) return false;
    NoteSettingsTrouble(SettingsTrouble::Unreadable, file);
    return true;
}

// The stored value, or an invalid one when there is none to read.
QVariant StoredValue(const CProfile& profile, const QString& section, const QString& entry) {
    const QString file = StoreFile(profile);
    if (!MayOpen(file, IsOpenableSettingsFile)) return {};
    const QSettings store(file, QSettings::NativeFormat);
    if (Unreadable(store, file)) return {};
    return store.value(Key(section, entry));
}

}  // namespace

QString CProfile::GetProfileString(const QString& section, const QString& entry,
                                   const QString& defaultValue) const {
    const QVariant value = StoredValue(*this, section, entry);
    return value.isValid() ? value.toString() : defaultValue;
}

int CProfile::GetProfileInt(const QString& section, const QString& entry, int defaultValue) const {
    const QVariant value = StoredValue(*this, section, entry);
    // A value that is not a number reads like a missing one, as a registry value of the
    // wrong type does.
    bool isNumber = false;
    const int number = value.toInt(&isNumber);
    return isNumber ? number : defaultValue;
}

bool CProfile::WriteProfileString(const QString& section, const QString& entry,
                                  const QString& value) {
    const QString file = StoreFile(*this);
    // QSettings writes under a lock file beside the store; one it cannot take would block
    // the write for good.
    if (!MayOpen(file, IsOpenableSettingsFile) || !MayOpen(LockFileOf(file), IsUsableLockFile))
        return false;
    QSettings store(file, QSettings::NativeFormat);
    if (Unreadable(store, file)) return false;
    store.setValue(Key(section, entry), value);
    // Settings are written the moment they change; nothing is saved at exit.
    store.sync();
    if (store.status() == QSettings::NoError) return true;
    NoteSettingsTrouble(SettingsTrouble::NotSaved, file);
    return false;
}

CProfile& AppProfile() {
    static CProfile profile;
    return profile;
}
