#pragma once

#include <QPointer>
#include <QString>
#include <utility>
#include <vector>

#include "settings/SettingsTrouble.h"

class CTralvoDlg;

// The main window's word on settings files it cannot use: a message box (error icon, OK)
// for the first file that is not a regular file and one for the first failed write, each
// once per run. Start-up reads settings before the window exists; what it finds waits
// until the window is given.
class CSettingsTroubleBoxes {
public:
    CSettingsTroubleBoxes();

    // The window that owns the boxes from now on; shows at once what has waited for it.
    void ShowIn(CTralvoDlg& window);

private:
    void Show(SettingsTrouble trouble, const QString& file);

    QPointer<CTralvoDlg> m_pWindow;
    std::vector<std::pair<SettingsTrouble, QString>> m_waiting;
    SettingsTroubleListener m_listener;  // last: it may call Show once constructed
};
