#include "app/TralvoApp.h"

#include "app/SettingsTroubleBoxes.h"
#include "app/TralvoDlg.h"
#include "settings/Profile.h"
#include "settings/StartupSettings.h"

void RestorePortIntoWindow(CTralvoDlg& window) {
    window.m_bPromptComPort = false;
    const RestoredPort port = RestoreComPort(AppProfile(), true);
    window.m_nComPort = port.nComPort;
    window.m_bPromptComPort = port.bPromptComPort;
}

bool CTralvoApp::InitInstance() {
    AppProfile().m_pszRegistryKey = kTralvoRegistryKey;
    // Listening before the window exists: its constructor reads the stored language.
    CSettingsTroubleBoxes settingsTrouble;
    CTralvoDlg window;
    settingsTrouble.ShowIn(window);
    RestorePortIntoWindow(window);
    window.DoModal();
    // Nothing is saved here: every setting was written when it changed.
    return false;
}
