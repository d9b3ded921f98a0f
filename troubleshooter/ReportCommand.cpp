#include "troubleshooter/ReportCommand.h"

#include <algorithm>

#include "serial/ComNumberText.h"
#include "troubleshooter/CheckText.h"
#include "troubleshooter/JsonReport.h"
#include "troubleshooter/PortText.h"
#include "troubleshooter/Report.h"
#include "troubleshooter/Troubleshooter.h"

namespace {

constexpr unsigned kNoPortChosen = 99;

bool ParsePort(const std::string& text, unsigned* number) {
    const auto port = ParseTypedPort(text);
    if (port) *number = *port;
    return port.has_value();
}

// The JSON report has no port list: the plain report's last lines are for people.
int RunJsonReport(const TroubleshootRequest& request, const SystemRoots& roots,
                  const UserIdentity& user, std::ostream& out) {
    if (request.comNumber == 0) {
        WriteJsonReport(out, {}, {},
                        CheckText(QT_TRANSLATE_NOOP("Troubleshooter",
                                                    "No port is chosen and none was found; name "
                                                    "one with --port N.")));
        return 1;
    }
    const auto results = RunChecks(request, roots, user);
    WriteJsonReport(out, PortTextFromNumber(request.comNumber), results);
    return ReportExitCode(results);
}

}  // namespace

const char* const kTroubleshooterUsage =
    "usage: " TRALVO_TROUBLESHOOTER_NAME
    " [--port N] [--report [--poll] [--json]] [--help] [--version]\n"
    "       (N: a COM number from 1 to 255, as 33 or COM33)\n";

bool WantsReport(const std::vector<std::string>& args) {
    return std::find(args.begin(), args.end(), "--report") != args.end();
}

int ParseWindowArguments(const std::vector<std::string>& args, unsigned* port, std::ostream& err) {
    *port = 0;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] != "--port") continue;
        if (i + 1 >= args.size() || !ParsePort(args[i + 1], port)) {
            *port = 0;
            err << kTroubleshooterUsage;
            return 2;
        }
        ++i;
    }
    return 0;
}

unsigned InitialPort(unsigned storedPort, const std::vector<ListedPort>& ports) {
    if (storedPort != 0 && storedPort != kNoPortChosen) return storedPort;
    return ports.empty() ? 0 : ports.front().comNumber;
}

int RunReportCommand(const std::vector<std::string>& args, unsigned storedPort,
                     const std::vector<ListedPort>& ports, const SystemRoots& roots,
                     const UserIdentity& user, std::ostream& out, std::ostream& err) {
    TroubleshootRequest request;
    bool json = false;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--report") continue;
        if (args[i] == "--poll") {
            request.pollHart = true;
        } else if (args[i] == "--json") {
            json = true;
        } else if (args[i] == "--port" && i + 1 < args.size() &&
                   ParsePort(args[i + 1], &request.comNumber)) {
            ++i;
        } else {
            err << kTroubleshooterUsage;
            return 2;
        }
    }
    if (request.comNumber == 0) request.comNumber = InitialPort(storedPort, ports);
    if (json) return RunJsonReport(request, roots, user, out);

    std::string listed;
    for (const auto& port : ports) listed += (listed.empty() ? "" : ", ") + port.text;
    if (request.comNumber == 0) {
        out << "Tralvo COM troubleshooter\n\nPorts found: " << (listed.empty() ? "none" : listed)
            << "\nNo port is chosen and none was found; name one with --port N.\n";
        return 1;
    }
    const auto results = RunChecks(request, roots, user);
    WriteReport(out, PortTextFromNumber(request.comNumber), results);
    out << "Ports found: " << (listed.empty() ? "none" : listed) << '\n';
    for (const auto& port : ports) out << "  " << PortLine(port) << '\n';
    return ReportExitCode(results);
}
