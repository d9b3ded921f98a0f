// Placeholder until the test workflows land.
#include "app/TralvoDlg.h"

void CTralvoDlg::OnPollHartNetwork() {}
void CTralvoDlg::OnContinuous() {}
void CTralvoDlg::StopBackgroundWork() {}
