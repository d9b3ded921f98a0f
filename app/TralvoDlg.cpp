// Placeholder until the main window lands.
#include "app/TralvoDlg.h"

CTralvoDlg::CTralvoDlg(QWidget* parent) : QDialog(parent) {}
CTralvoDlg::~CTralvoDlg() = default;
bool CTralvoDlg::OnInitDialog() { return true; }
bool CTralvoDlg::UpdateData(bool) { return true; }
void CTralvoDlg::RepaintNow() {}
int CTralvoDlg::ShowMessage(const QString&, const QString&, int, int) { return 0; }
void CTralvoDlg::OnExit() { accept(); }
void CTralvoDlg::OnComTroubleshooter() {}
void CTralvoDlg::OnHelpAbout() {}
void CTralvoDlg::OnLanguageEnglish() {}
void CTralvoDlg::OnLanguageChinese() {}
void CTralvoDlg::ApplyLanguage(QString) {}
