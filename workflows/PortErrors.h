#pragma once

#include <QString>

#include "hart/HartLink.h"

// What the tests tell the user when the port fails them, in the interface language.

// The text for a port that did not open: `errorOpening` ("Error opening COM port" as the
// workflow spells it), followed by the reason where the port's status gives one the user
// can act on (the system console, a tty that keeps other line settings).
QString OpenErrorText(const CHartLink& link, unsigned openResult, const QString& errorOpening);

// The text for a port that stopped working during a test.
QString PortStoppedText();
