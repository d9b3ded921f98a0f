#include "troubleshooter/TroubleshooterLanguage.h"

#include "settings/Profile.h"
#include "strings/Strings.h"

void ApplyStoredLanguage() {
    // The same entry, and default, as the main window's.
    SetStringLanguage(AppProfile().GetProfileString(
        QStringLiteral("Settings"), QStringLiteral("Language"), QStringLiteral("English")));
}
