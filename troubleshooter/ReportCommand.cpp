#include "troubleshooter/ReportCommand.h"

#include <algorithm>

#include "troubleshooter/Report.h"
#include "troubleshooter/Troubleshooter.h"

namespace {

constexpr unsigned kNoPortChosen = 99;
constexpr const char* kUsage =
    "usage: com-troubleshooter [--port N] [--report [--poll]]  (N: a COM number, 1 to 255)\n";

bool ParsePort(const std::string& text, unsigned* number) {
    if (text.empty() || text.size() > 3 ||
        text.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    *number = static_cast<unsigned>(std::stoul(text));
    return *number >= 1 && *number <= 255;
}

}  // namespace

bool WantsReport(const std::vector<std::string>& args) {
    return std::find(args.begin(), args.end(), "--report") != args.end();
}

int ParseWindowArguments(const std::vector<std::string>& args, unsigned* port, std::ostream& err) {
    *port = 0;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] != "--port") continue;
        if (i + 1 >= args.size() || !ParsePort(args[i + 1], port)) {
            *port = 0;
            err << kUsage;
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
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--report") continue;
        if (args[i] == "--poll") {
            request.pollHart = true;
        } else if (args[i] == "--port" && i + 1 < args.size() &&
                   ParsePort(args[i + 1], &request.comNumber)) {
            ++i;
        } else {
            err << kUsage;
            return 2;
        }
    }
    if (request.comNumber == 0) request.comNumber = InitialPort(storedPort, ports);

    std::string listed;
    for (const auto& port : ports) listed += (listed.empty() ? "" : ", ") + port.text;
    if (request.comNumber == 0) {
        out << "Tralvo COM troubleshooter\n\nPorts found: " << (listed.empty() ? "none" : listed)
            << "\nNo port is chosen and none was found; name one with --port N.\n";
        return 1;
    }
    const auto results = RunChecks(request, roots, user);
    WriteReport(out, "COM" + std::to_string(request.comNumber), results);
    out << "Ports found: " << (listed.empty() ? "none" : listed) << '\n';
    for (const auto& port : ports) out << "  " << PortLine(port) << '\n';
    return ReportExitCode(results);
}
