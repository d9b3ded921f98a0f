// The settings store: one QSettings file per (registry key, profile) pair, opened for each
// call so that a change of the key or profile name takes effect at the very next call.
#include "app/Profile.h"

#include <QSettings>
#include <QStandardPaths>

namespace {

// $XDG_CONFIG_HOME/<registry key>/<profile>.conf (XDG_CONFIG_HOME defaults to ~/.config).
// The folder is looked up on every call, so tests may point it elsewhere at any time.
QString StoreFile(const CProfile& profile) {
    const QString configHome =
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return configHome + u'/' + profile.m_pszRegistryKey + u'/' + profile.m_pszProfileName +
           QStringLiteral(".conf");
}

QString Key(const QString& section, const QString& entry) { return section + u'/' + entry; }

}  // namespace

QString CProfile::GetProfileString(const QString& section, const QString& entry,
                                   const QString& defaultValue) const {
    const QSettings store(StoreFile(*this), QSettings::NativeFormat);
    const QVariant value = store.value(Key(section, entry));
    return value.isValid() ? value.toString() : defaultValue;
}

int CProfile::GetProfileInt(const QString& section, const QString& entry, int defaultValue) const {
    const QSettings store(StoreFile(*this), QSettings::NativeFormat);
    const QVariant value = store.value(Key(section, entry));
    // A value that is not a number reads like a missing one, as a registry value of the
    // wrong type does.
    bool isNumber = false;
    const int number = value.toInt(&isNumber);
    return isNumber ? number : defaultValue;
}

bool CProfile::WriteProfileString(const QString& section, const QString& entry,
                                  const QString& value) {
    QSettings store(StoreFile(*this), QSettings::NativeFormat);
    store.setValue(Key(section, entry), value);
    // Settings are written the moment they change; nothing is saved at exit.
    store.sync();
    return store.status() == QSettings::NoError;
}

CProfile& AppProfile() {
    static CProfile profile;
    return profile;
}
