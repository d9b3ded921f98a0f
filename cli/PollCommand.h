#pragma once

#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/OutputFormat.h"
#include "cli/TerminalView.h"
#include "hart/HartLink.h"

// `tralvo-cli ... poll [--multidrop ask|yes|no]`: the Poll HART Network test on comPort,
// then the four result boxes, one a line, or with format.json one object (PollResultJson),
// also after a failure or Ctrl+C. args: the words after "poll". stdinIsTerminal picks the
// default answer (ask at a terminal, no otherwise). Returns the exit status.
int RunPollCommand(CHartLink& link, uint8_t comPort, const std::vector<std::string>& args,
                   bool stdinIsTerminal, std::istream& in, std::ostream& out, std::ostream& err,
                   const OutputFormat& format = {});

// The words after "poll" read into the answer to the multi-drop question; nothing, with a
// message on err, when they cannot be used.
std::optional<CTerminalView::Answer> ReadPollArguments(const std::vector<std::string>& args,
                                                       bool stdinIsTerminal, std::ostream& err);
// The same with the arguments already read.
int RunPollCommand(CHartLink& link, uint8_t comPort, CTerminalView::Answer answer, std::istream& in,
                   std::ostream& out, std::ostream& err, const OutputFormat& format = {});
