#pragma once

#include <string>

#include "serial/Serial.h"
#include "troubleshooter/CheckResult.h"
#include "troubleshooter/CheckText.h"

// The checks every system runs the same way.

// 6. A HART identity poll at address 0 through the link layer, on `serial`: a signal of its
// wake-up cancels the poll (then not applicable, "cancelled").
CheckResult CheckHartPoll(unsigned comNumber, unsigned attempts, CSerial& serial);

// A check not run because an earlier one found no device.
CheckResult NotApplicable(const char* title, const std::string& why);

// What the open check found of the modem lines of a port (named `port`) that opened at
// 1200 baud 8O1: a virtual port has none, a three-wire adapter cannot drive them.
enum class ModemLines { Driven, Missing, Refused };
CheckResult OpenedWithModemLines(const std::string& port, ModemLines lines);
