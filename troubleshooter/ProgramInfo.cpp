#include "troubleshooter/ProgramInfo.h"

#include <algorithm>

#include "troubleshooter/ReportCommand.h"
#include "version/Version.h"

namespace {

bool Has(const std::vector<std::string>& args, const char* option) {
    return std::find(args.begin(), args.end(), option) != args.end();
}

constexpr const char* kHelp =
    "\n"
    "Finds out why a COM port does not work with Tralvo: whether the port exists and is a\n"
    "serial port, whether you may use it, whether another program or a service holds it,\n"
    "and whether it opens at 1200 baud 8O1. Without --report it opens a window.\n"
    "\n"
    "  --port N    check COM N (default: the port Tralvo last used, else the first found)\n"
    "  --report    print the findings instead of opening a window; exit 0 when no check\n"
    "              failed, 1 when one did, 2 for bad arguments\n"
    "  --poll      with --report: also poll a HART device at address 0\n"
    "  --json      with --report: print one JSON object for scripts\n"
    "  --help      show this text\n"
    "  --version   show the version\n";

}  // namespace

std::optional<int> AnswerHelpOrVersion(const std::vector<std::string>& args, std::ostream& out) {
    if (Has(args, "--help") || Has(args, "-h")) {
        out << kTroubleshooterUsage << kHelp;
        return 0;
    }
    if (Has(args, "--version")) {
        out << TRALVO_TROUBLESHOOTER_NAME " " << TRALVO_VERSION << '\n';
        return 0;
    }
    return std::nullopt;
}
