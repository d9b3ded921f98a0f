#include "settings/SettingsTrouble.h"

#include <QDir>

#include "strings/Strings.h"

namespace {

SettingsTroubleListener*& CurrentListener() {
    static SettingsTroubleListener* listener = nullptr;
    return listener;
}

}  // namespace

void NoteSettingsTrouble(SettingsTrouble trouble, const QString& file) {
    if (SettingsTroubleListener* listener = CurrentListener()) listener->Hear(trouble, file);
}

QString SettingsTroubleText(SettingsTrouble trouble, const QString& file) {
    const StringId id = trouble == SettingsTrouble::NotARegularFile ? IDS_SETTINGS_NOT_A_FILE
                                                                    : IDS_SETTINGS_NOT_SAVED;
    return LoadString(id).arg(QDir::toNativeSeparators(file));
}

SettingsTroubleListener::SettingsTroubleListener(Tell tell)
    : m_tell(std::move(tell)), m_pPrevious(CurrentListener()) {
    CurrentListener() = this;
}

SettingsTroubleListener::~SettingsTroubleListener() { CurrentListener() = m_pPrevious; }

void SettingsTroubleListener::Hear(SettingsTrouble trouble, const QString& file) {
    bool& told =
        trouble == SettingsTrouble::NotARegularFile ? m_bToldNotARegularFile : m_bToldNotSaved;
    if (told) return;
    told = true;
    if (m_tell) m_tell(trouble, file);
}
