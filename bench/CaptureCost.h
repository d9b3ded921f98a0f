#pragma once

// (h) The CPU the capture takes per byte on the wire (wire tap, pcapng writer, the trace's
// hex and notes), against the time a byte takes on the line.
void MeasureCaptureCost();
