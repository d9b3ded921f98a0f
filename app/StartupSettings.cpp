// Placeholder until start-up lands.
#include "app/StartupSettings.h"

RestoredPort RestoreComPort(CProfile&, bool) { return {99, true}; }
