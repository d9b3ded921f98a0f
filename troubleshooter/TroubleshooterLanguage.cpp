#include "troubleshooter/TroubleshooterLanguage.h"

#include "settings/Profile.h"
#include "settings/StartupSettings.h"
#include "strings/Strings.h"

void ApplyStoredLanguage() { SetStringLanguage(StoredLanguage(AppProfile())); }
