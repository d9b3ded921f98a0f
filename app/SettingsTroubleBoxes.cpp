#include "app/SettingsTroubleBoxes.h"

#include <QMessageBox>

#include "app/TralvoDlg.h"

CSettingsTroubleBoxes::CSettingsTroubleBoxes()
    : m_listener([this](SettingsTrouble trouble, const QString& file) { Show(trouble, file); }) {}

void CSettingsTroubleBoxes::ShowIn(CTralvoDlg& window) {
    m_pWindow = &window;
    for (const auto& [trouble, file] : std::exchange(m_waiting, {})) Show(trouble, file);
}

void CSettingsTroubleBoxes::Show(SettingsTrouble trouble, const QString& file) {
    if (!m_pWindow) {
        m_waiting.emplace_back(trouble, file);
        return;
    }
    m_pWindow->ShowMessage(SettingsTroubleText(trouble, file), QStringLiteral("Tralvo"),
                           QMessageBox::Ok, QMessageBox::Critical);
}
