// Placeholder until the PV monitor lands.
#include "app/TralvoDlg.h"

void CTralvoDlg::OnPv() {}
