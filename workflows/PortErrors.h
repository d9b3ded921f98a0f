#pragma once

#include <QString>
#include <cstdint>

#include "hart/HartLink.h"
#include "serial/OpenFailureReason.h"

// What the tests tell the user when the port fails them, in the interface language.

// The text for a port that did not open: `errorOpening` ("Error opening COM port" as the
// workflow spells it) and, for a port that would not open or would not take the line
// settings, COM<comPort>, the device it leads to and why on the next line(s):
// "COM5 (/dev/ttyUSB0) is held by minicom (PID 4242)."
QString OpenErrorText(const CHartLink& link, unsigned openResult, uint8_t comPort,
                      const QString& errorOpening);

// The device and why it did not open, as OpenErrorText puts it below its first line.
QString OpenFailureText(const OpenFailureReason& reason);

// The text for a port that stopped working during a test.
QString PortStoppedText();
