#pragma once

#include <istream>
#include <ostream>
#include <string>
#include <vector>

#include "cli/OutputFormat.h"
#include "hart/HartLink.h"

// `tralvo-cli ... poll [--multidrop ask|yes|no]`: the Poll HART Network test on comPort,
// then the four result boxes, one a line, or with format.json one object (PollResultJson),
// also after a failure or Ctrl+C. args: the words after "poll". stdinIsTerminal picks the
// default answer (ask at a terminal, no otherwise). Returns the exit status.
int RunPollCommand(CHartLink& link, uint8_t comPort, const std::vector<std::string>& args,
                   bool stdinIsTerminal, std::istream& in, std::ostream& out, std::ostream& err,
                   const OutputFormat& format = {});
