#pragma once

#include <istream>
#include <ostream>
#include <string>
#include <vector>

// The whole of tralvo-cli: reads the command line (the words after the program name),
// runs the command on the program's serial port and returns the exit status.
int RunCli(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
           std::ostream& err);
