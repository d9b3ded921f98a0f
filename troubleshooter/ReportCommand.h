#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "troubleshooter/PortList.h"
#include "troubleshooter/SystemRoots.h"

// `com-troubleshooter --report [--port N] [--poll]`: the checks as text. The port is N,
// else the stored port (storedPort; 99 or 0 mean none chosen), else the first listed one.
// Returns the exit status: 0 when all checks pass, 1 otherwise, 2 for bad arguments.
int RunReportCommand(const std::vector<std::string>& args, unsigned storedPort,
                     const std::vector<ListedPort>& ports, const SystemRoots& roots,
                     const UserIdentity& user, std::ostream& out, std::ostream& err);

// Whether the arguments ask for the text report rather than the window.
bool WantsReport(const std::vector<std::string>& args);

// The port the window or the report starts with (see RunReportCommand); 0 when none.
unsigned InitialPort(unsigned storedPort, const std::vector<ListedPort>& ports);
