#include "traffic/HartNames.h"

#include <cstddef>

namespace traffic {

namespace {

struct CodeName {
    uint8_t code;
    const char* name;
};

template <size_t N>
const char* Lookup(const CodeName (&table)[N], uint8_t code) {
    for (const CodeName& entry : table) {
        if (entry.code == code) return entry.name;
    }
    return nullptr;
}

// Bit 7 first.
std::vector<const char*> SetBits(uint8_t value, const char* const (&names)[8]) {
    std::vector<const char*> set;
    for (int bit = 7; bit >= 0; --bit) {
        if ((value >> bit & 1) && names[7 - bit]) set.push_back(names[7 - bit]);
    }
    return set;
}

constexpr CodeName kCommands[] = {
    {0, "Read Unique Identifier"},
    {1, "Read Primary Variable"},
    {2, "Read Loop Current and Percent of Range"},
    {3, "Read Dynamic Variables and Loop Current"},
    // Older devices (revision below 5) give their tag for data byte 1.
    {4, "Read Tag (older devices)"},
    {11, "Read Unique Identifier Associated With Tag"},
    {12, "Read Message"},
    {13, "Read Tag, Descriptor, Date"},
    {20, "Read Long Tag"},
};

constexpr CodeName kUnits[] = {
    {1, "inH2O"}, {2, "inHg"},  {3, "ftH2O"},    {4, "mmH2O"},      {5, "mmHg"},   {6, "psi"},
    {7, "bar"},   {8, "mbar"},  {9, "g/cm2"},    {10, "kg/cm2"},    {11, "Pa"},    {12, "kPa"},
    {13, "torr"}, {14, "atm"},  {15, "ft3/min"}, {16, "gal/min"},   {17, "L/min"}, {19, "m3/h"},
    {24, "L/s"},  {32, "degC"}, {33, "degF"},    {34, "degR"},      {35, "K"},     {36, "mV"},
    {37, "ohm"},  {38, "Hz"},   {39, "mA"},      {40, "gal"},       {41, "L"},     {43, "m3"},
    {44, "ft"},   {45, "m"},    {47, "in"},      {48, "cm"},        {49, "mm"},    {50, "min"},
    {51, "s"},    {52, "h"},    {53, "d"},       {57, "%"},         {58, "V"},     {59, "pH"},
    {60, "g"},    {61, "kg"},   {63, "lb"},      {250, "not used"}, {251, "none"},
};

constexpr CodeName kResponseCodes[] = {
    {0, "success"},
    {2, "invalid selection"},
    {3, "passed parameter too large"},
    {4, "passed parameter too small"},
    {5, "too few data bytes received"},
    {6, "device-specific command error"},
    {7, "in write protect mode"},
    {16, "access restricted"},
    {32, "busy"},
    {33, "delayed response initiated"},
    {34, "delayed response running"},
    {64, "command not implemented"},
};

constexpr const char* kCommunicationErrors[8] = {
    nullptr,  // bit 7: marks the byte as a communication error report
    "vertical parity error",
    "overrun error",
    "framing error",
    "longitudinal parity error",
    nullptr,
    "buffer overflow",
    nullptr,
};

constexpr const char* kDeviceStatus[8] = {
    "device malfunction",
    "configuration changed",
    "cold start",
    "more status available",
    "loop current fixed",
    "loop current saturated",
    "non-primary variable out of limits",
    "primary variable out of limits",
};

}  // namespace

const char* CommandName(uint8_t command) { return Lookup(kCommands, command); }
const char* UnitName(uint8_t code) { return Lookup(kUnits, code); }
const char* ResponseCodeName(uint8_t code) { return Lookup(kResponseCodes, code); }

std::vector<const char*> CommunicationErrorNames(uint8_t firstStatus) {
    return SetBits(firstStatus, kCommunicationErrors);
}

std::vector<const char*> DeviceStatusNames(uint8_t status) {
    return SetBits(status, kDeviceStatus);
}

}  // namespace traffic
