#pragma once

#include <optional>
#include <string>
#include <vector>

#include "sim/Behaviour.h"
#include "sim/DeviceConfig.h"
#include "sim/LineTiming.h"

namespace sim {

// Exit code for a command line that cannot be used (sysexits' EX_USAGE).
inline constexpr int kExitUsage = 64;

struct SimOptions {
    std::optional<std::string> port;    // --port PATH: an existing tty or pty
    std::optional<unsigned> linkCom;    // --link COM<n>: a pty of our own, linked as COM<n>
    std::vector<DeviceConfig> devices;  // never empty after a successful parse
    Behaviour behaviour;
    LineTiming timing;
    bool trace = false;
    bool help = false;
    bool version = false;
};

// Reads the arguments after the program name. False with a message that names the
// offending argument when they cannot be used.
bool ParseOptions(const std::vector<std::string>& args, SimOptions& options, std::string& error);

// One --device value, e.g. "addr=1,tag=PT-101,id=0x123456,mfr=0x26,type=0x06,rev=7".
bool ParseDevice(const std::string& spec, DeviceConfig& device, std::string& error);

const char* UsageText();

}  // namespace sim
