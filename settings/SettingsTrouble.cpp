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
    StringId id = IDS_SETTINGS_NOT_SAVED;
    if (trouble == SettingsTrouble::NotARegularFile) id = IDS_SETTINGS_NOT_A_FILE;
    if (trouble == SettingsTrouble::Unreadable) id = IDS_SETTINGS_UNREADABLE;
    return LoadString(id).arg(QDir::toNativeSeparators(file));
}

SettingsTroubleListener::SettingsTroubleListener(Tell tell)
    : m_tell(std::move(tell)), m_pPrevious(CurrentListener()) {
    CurrentListener() = this;
}

SettingsTroubleListener::~SettingsTroubleListener() { CurrentListener() = m_pPrevious; }

void SettingsTroubleListener::Hear(SettingsTrouble trouble, const QString& file) {
    const unsigned kind = 1u << static_cast<unsigned>(trouble);
    if (m_told & kind) return;
    m_told |= kind;
    if (m_tell) m_tell(trouble, file);
}
