#pragma once

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/OutputFormat.h"
#include "hart/HartLink.h"

// `tralvo-cli ... pv [--attempts N]`: the identity poll at address 0, then the PV monitor's
// ticks every 2 s, one line each (PvTickLine; with format.json PvTickJson, and no lines
// before the ticks). link: opened by nobody yet, tracing already attached; comPort: the COM
// number to open; args: the words after "pv". A run ends when stopRequested() says so
// (checked between ticks and while waiting for one; Ctrl+C also wakes the port). Returns the
// exit status.
int RunPvCommand(CHartLink& link, uint8_t comPort, const std::vector<std::string>& args,
                 std::ostream& out, std::ostream& err, const std::function<bool()>& stopRequested,
                 const OutputFormat& format = {});

// The words after "pv" read into the number of attempts; nothing, with a message on err,
// when they cannot be used.
std::optional<int32_t> ReadPvArguments(const std::vector<std::string>& args, std::ostream& err);
// The same with the arguments already read.
int RunPvCommand(CHartLink& link, uint8_t comPort, int32_t attempts, std::ostream& out,
                 std::ostream& err, const std::function<bool()>& stopRequested,
                 const OutputFormat& format = {});
