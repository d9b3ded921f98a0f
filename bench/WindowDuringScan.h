#pragma once

#include "ScratchHome.h"

// (g) The longest time the window's thread is kept from its events during a multi-drop scan
// against the paced simulator.
void MeasureWindowDuringScan(const ScratchHome& home);
