#pragma once

#include <QString>

class QTranslator;

// The two interface languages. The stored name "Chinese" (exact, case-sensitive) selects
// Chinese; any other name works as English.
bool IsChineseName(const QString& languageName);

// Loads Tralvo's own Chinese texts (embedded at build time) into a translator.
bool LoadChineseTexts(QTranslator& translator);
// Loads Qt's own Chinese texts of its standard buttons (是/否) from Qt's translations.
bool LoadQtChineseTexts(QTranslator& translator);
