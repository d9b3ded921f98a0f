// Placeholder until the mapping lands.
#include "serial/ComPortMap.h"

std::string PortLinksFolder() { return {}; }
std::string PortLinkPath(unsigned) { return {}; }
std::optional<std::string> DeviceForComNumber(unsigned) { return std::nullopt; }
std::optional<unsigned> ComNumberForDevice(const std::string&) { return std::nullopt; }
std::optional<std::string> ResolvePortName(const std::string&) { return std::nullopt; }
uint8_t PortNumberFromText(const std::string&) { return 0; }
std::string PortTextFromNumber(uint8_t n) { return "COM" + std::to_string(n); }
