#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "troubleshooter/PortList.h"
#include "troubleshooter/SystemRoots.h"

// The program's usage lines.
extern const char* const kTroubleshooterUsage;

// `com-troubleshooter --report [--port N] [--poll] [--json]`: the checks as text, or with
// --json as one JSON object (JsonReport.h). The port is N (33 or COM33), else the stored
// port (storedPort; 99 or 0 mean none chosen), else the first listed one. Returns the exit
// status: 0 when no check failed, 1 otherwise, 2 for bad arguments.
int RunReportCommand(const std::vector<std::string>& args, unsigned storedPort,
                     const std::vector<ListedPort>& ports, const SystemRoots& roots,
                     const UserIdentity& user, std::ostream& out, std::ostream& err);

// Whether the arguments ask for the text report rather than the window.
bool WantsReport(const std::vector<std::string>& args);

// `com-troubleshooter [--port N]`, the window (Tralvo starts it so for a port that did not
// open): *port is N, or 0 without --port. Other arguments are the toolkit's own. Returns 0,
// or 2 after the usage on `err` when N is missing or not a port from 1 to 255.
int ParseWindowArguments(const std::vector<std::string>& args, unsigned* port, std::ostream& err);

// The port the window or the report starts with (see RunReportCommand); 0 when none.
unsigned InitialPort(unsigned storedPort, const std::vector<ListedPort>& ports);
