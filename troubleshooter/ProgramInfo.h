#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

// `--help` and `--version`, answered from the arguments alone, before any toolkit object
// exists: they work without a display. Returns the exit status when the arguments asked
// for either (the answer is on `out`), nothing otherwise.
std::optional<int> AnswerHelpOrVersion(const std::vector<std::string>& args, std::ostream& out);
