// Placeholder until the port chooser lands.
#include "app/TralvoDlg.h"

void CTralvoDlg::OnSetComPort() {}
