// Placeholder until the settings store lands.
#include "app/Profile.h"

QString CProfile::GetProfileString(const QString&, const QString&, const QString& d) const { return d; }
int CProfile::GetProfileInt(const QString&, const QString&, int d) const { return d; }
bool CProfile::WriteProfileString(const QString&, const QString&, const QString&) { return false; }
CProfile& AppProfile() {
    static CProfile profile;
    return profile;
}
