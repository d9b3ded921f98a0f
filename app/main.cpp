#include <QApplication>
#include <cstring>
#include <iostream>
#include <optional>

#include "app/TralvoApp.h"
#include "version/ProgramOutput.h"
#include "version/Version.h"

namespace {

CTralvoApp theApp;

constexpr char kUsage[] = R"(Usage: tralvo [--help] [--version]

Tests a HART modem: polls the HART field device behind it on a COM port and says whether
the modem passes data both ways. The port and the language are chosen in the window and
kept in the user's settings; Qt's own options (such as -platform offscreen) are accepted.

Options:
  --help     show this text
  --version  show the version

The same tests without a window: tralvo-cli --help.
)";

// --help and --version are answered before the application object exists, because that
// needs a display; other arguments are left to Qt and the window as before.
std::optional<int> AnswerWithoutWindow(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::cout << kUsage;
            return StatusAfterOutput(std::cout, std::cerr, "tralvo", 0);
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::cout << "tralvo " TRALVO_VERSION "\n";
            return StatusAfterOutput(std::cout, std::cerr, "tralvo", 0);
        }
    }
    return std::nullopt;
}

}  // namespace

int main(int argc, char** argv) {
    if (const std::optional<int> status = AnswerWithoutWindow(argc, argv)) return *status;
    QApplication application(argc, argv);
    // The store keeps the name "Tralvo" whatever the executable file is called.
    QApplication::setApplicationName(QStringLiteral("Tralvo"));
    QApplication::setOrganizationName(QStringLiteral("Brenlow"));
    theApp.InitInstance();
    return 0;
}
