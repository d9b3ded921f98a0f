#include "strings/Language.h"

#include <QLibraryInfo>
#include <QTranslator>

bool IsChineseName(const QString& languageName) { return languageName == u"Chinese"; }

bool LoadChineseTexts(QTranslator& translator) {
    return translator.load(QStringLiteral(":/i18n/tralvo_zh_CN.qm"));
}

bool LoadQtChineseTexts(QTranslator& translator) {
    return translator.load(QStringLiteral("qtbase_zh_CN"),
                           QLibraryInfo::path(QLibraryInfo::TranslationsPath));
}
