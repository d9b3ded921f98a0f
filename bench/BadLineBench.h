#pragma once

#include "ScratchHome.h"

// The link on lines that misbehave, each figure beside its goal.

// (d) The CPU that continuous send takes once its device has vanished, and how soon it ends.
void MeasureCpuAfterVanishing(const ScratchHome& home);
// (e) The longest reception on a line that trickles or babbles preamble bytes, against the
// bound every reception keeps.
void MeasureReceptionOnNoise(const ScratchHome& home);
// (f) How soon a blocking exchange, and continuous send as a whole, end once stopped.
void MeasureStopLatency(const ScratchHome& home);
