#pragma once

#include <cstdint>
#include <optional>
#include <string>

// The texts that stand for COM port numbers. Each reader keeps its own rule because each is
// seen from outside (stored settings, the chooser's order, what users may type, names on
// disk); everything that writes one uses PortTextFromNumber.

// "COM<n>": how a port is shown, stored, reported and named as a link.
std::string PortTextFromNumber(unsigned number);

// "\\.\COM<n>": the device name a link opens a port by.
std::string ComDeviceName(unsigned number);

// The settings' and the port dialog's rule, which stored settings depend on: the number is
// read from the fourth character on as atoi reads it (white space, an optional sign,
// digits up to anything else; none give 0) and only the low 8 bits count ("COM3" -> 3,
// "COM300" -> 44, "com7" -> 7, "COM" -> 0). The first three characters are not examined;
// texts shorter than 4 characters give 0; texts of any length are read the same way.
uint8_t PortNumberFromText(const std::string& text);

// The port chooser's rule for the text of a listed port, only its sort key: "COM%u" as
// scanf reads it (case-sensitive "COM", then white space, an optional sign, digits, and
// unsigned wrap-around for a minus or too many digits); 0 when nothing is read, such as for
// "COM Port COM5" from a name holding "COM" twice.
uint32_t ListedPortNumber(const std::string& text);

// What a user types for a port, in the troubleshooter's port box or after --port: "COM33",
// "com33" (any case) or "33", blanks around it ignored; 0 to 255. Nothing for any other
// text. Callers that have no use for port 0 refuse it themselves.
std::optional<uint8_t> TypedPortNumber(const std::string& text);

// A name exactly as PortTextFromNumber writes it, 1 to 255: the links of the ports folder
// and the simulator's --link. Nothing for "COM012", "com12", "COM0" (no open accepts port
// 0) or numbers a port cannot have.
std::optional<unsigned> ExactPortNumber(const std::string& name);

// A device name exactly as ComDeviceName writes it, by the same rule as ExactPortNumber.
std::optional<unsigned> ComDeviceNumber(const std::string& name);
