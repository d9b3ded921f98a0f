#pragma once

#include <cstdint>
#include <vector>

// Names of the HART codes the line traffic shows: commands, engineering units, response
// codes and status bits. English only, as HART tools commonly print them.
namespace traffic {

// The name of a command this program sends or meets on the line; nullptr for others.
const char* CommandName(uint8_t command);

// A unit code of the common table (the ones process devices use most); nullptr for others.
const char* UnitName(uint8_t code);

// A response code (first status byte, communication error bit clear); nullptr for codes that
// mean different things to different commands.
const char* ResponseCodeName(uint8_t code);

// The bits set in a first status byte that reports a communication error (bit 7 set).
std::vector<const char*> CommunicationErrorNames(uint8_t firstStatus);

// The bits set in the field device status byte, most significant first.
std::vector<const char*> DeviceStatusNames(uint8_t status);

}  // namespace traffic
