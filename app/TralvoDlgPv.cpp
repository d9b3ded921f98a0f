// The PV command: opens the PV monitor on the device the last poll test found.
#include <QMessageBox>

#include "app/PvDlg.h"
#include "app/TralvoDlg.h"

void CTralvoDlg::OnPv() {
    if (LineBusy()) return;
    if (m_nHartId == 0) {
        ShowMessage(QString::fromLatin1(pvtext::kMustPollFirst),
                    QString::fromLatin1(pvtext::kMustPollCaption), QMessageBox::Ok,
                    QMessageBox::Critical);
        return;
    }
    TakeLine();
    BeginRunReport();
    PVDlg dialog(this);
    dialog.m_pLink = &m_link;
    dialog.m_strTag = m_strTag.toStdString();
    dialog.m_nComPort = m_nComPort;
    dialog.m_openErrorBox = [this, &dialog](const QString& text, const QString& caption,
                                            uint8_t comPort) {
        ShowOpenError(text, caption, comPort, &dialog);
    };
    dialog.m_messageBox = m_seams.pvMessage;
    dialog.DoModal(m_seams.runPv);
    ShowRunReport(true, false);
}
