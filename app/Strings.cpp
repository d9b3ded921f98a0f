// Placeholder until the string table lands.
#include "app/Strings.h"

QString LoadString(StringId id) { return QString::number(id); }
void SetStringLanguage(const QString&) {}
