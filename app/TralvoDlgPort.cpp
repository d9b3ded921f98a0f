// The Set COM Port command of the main window.
#include "app/TralvoDlg.h"
#include "portselect/PortDlg.h"
#include "serial/ComPortMap.h"
#include "settings/Profile.h"
#include "settings/StartupSettings.h"
#include "strings/Strings.h"

namespace {

// Fenwex, the sibling product, takes its port from its own store; the hidden check box
// of the chooser hands it the same choice.
void WritePortToFenwex(CProfile& profile, const QString& portText) {
    profile.m_pszRegistryKey = QStringLiteral("DODE Rizivorovudev Irizovivod");
    profile.m_pszProfileName = QStringLiteral("Fenwex");
    StorePort(profile, portText);
    profile.m_pszRegistryKey = kTralvoRegistryKey;
    profile.m_pszProfileName = QStringLiteral("Tralvo");
}

}  // namespace

void CTralvoDlg::OnSetComPort() {
    // A poll test running beside the window owns the port number until it ends.
    if (LineBusy()) return;
    PortDlg dlg;

    // Reading the ports blocks the window, so say so before it starts.
    const QString savedStatus = m_strStatus;
    m_strStatus = LoadString(IDS_READING_COM_PORTS);
    UpdateData(false);
    RepaintNow();

    dlg.m_strPort = QString::fromStdString(PortTextFromNumber(m_nComPort));
    if (dlg.DoModal(m_seams.runPortChooser) == QDialog::Accepted) {
        m_nComPort = PortNumberFromText(dlg.m_strPort.toStdString());
        CProfile& profile = AppProfile();
        StorePort(profile, dlg.m_strPort);
        if (dlg.m_bSetFenwexPort) WritePortToFenwex(profile, dlg.m_strPort);
    }

    m_strStatus = savedStatus;
    UpdateData(false);
    RepaintNow();
}
