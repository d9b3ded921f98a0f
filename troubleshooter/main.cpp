#include <QApplication>
#include <QCoreApplication>
#include <QMessageBox>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "settings/Profile.h"
#include "settings/SettingsTrouble.h"
#include "settings/StartupSettings.h"
#include "troubleshooter/CallerConsole.h"
#include "troubleshooter/DisplayMissingExit.h"
#include "troubleshooter/ProgramInfo.h"
#include "troubleshooter/ReportCommand.h"
#include "troubleshooter/TroubleshooterLanguage.h"
#include "troubleshooter/TroubleshooterWindow.h"
#include "version/ProgramOutput.h"

namespace {

constexpr char kProgram[] = TRALVO_TROUBLESHOOTER_NAME;

// The port Tralvo's start-up would restore, and what kept the store from being read.
struct StoredSettings {
    unsigned port = 0;
    QStringList troubles;
};

// Also applies the stored language, so that a store that cannot be read is heard of once
// however often it is read.
StoredSettings ReadStoredSettings() {
    StoredSettings stored;
    const SettingsTroubleListener listener([&stored](SettingsTrouble trouble, const QString& file) {
        stored.troubles << SettingsTroubleText(trouble, file);
    });
    // The same store Tralvo's start-up reads; the troubleshooter never writes it.
    AppProfile().m_pszRegistryKey = kTralvoRegistryKey;
    stored.port = RestoreComPort(AppProfile(), false).nComPort;
    ApplyStoredLanguage();
    return stored;
}

// Shown once the window is up; the checks go on behind it.
void ShowSettingsTrouble(QWidget& window, const QString& text) {
    auto* box =
        new QMessageBox(QMessageBox::Warning, window.windowTitle(), text, QMessageBox::Ok, &window);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

}  // namespace

int main(int argc, char* argv[]) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    UseCallersConsole();
    // Before any application object: a QApplication without a display would end the
    // program before it could answer.
    if (const auto status = AnswerHelpOrVersion(args, std::cout))
        return StatusAfterOutput(std::cout, std::cerr, kProgram, *status);
    if (WantsReport(args)) {
        // No display is needed: the report runs over SSH too.
        QCoreApplication app(argc, argv);
        const StoredSettings stored = ReadStoredSettings();
        for (const QString& trouble : stored.troubles)
            std::cerr << kProgram << ": warning: " << trouble.toStdString() << '\n';
        const int status = RunReportCommand(args, stored.port, ListPorts(), SystemRoots{},
                                            CurrentUser(), std::cout, std::cerr);
        return StatusAfterOutput(std::cout, std::cerr, kProgram, status);
    }
    // A bad port is told before any window could open.
    unsigned namedPort = 0;
    if (const int status = ParseWindowArguments(args, &namedPort, std::cerr)) return status;
    std::optional<DisplayMissingExit> noDisplay(std::in_place);
    QApplication app(argc, argv);
    noDisplay.reset();
    const auto ports = ListPorts();
    const StoredSettings stored = ReadStoredSettings();
    const unsigned port = namedPort != 0 ? namedPort : InitialPort(stored.port, ports);
    TroubleshooterWindow window(ports, port, SystemRoots{});
    window.show();
    if (!stored.troubles.isEmpty()) ShowSettingsTrouble(window, stored.troubles.join(u'\n'));
    window.RunChecksNow();
    return app.exec();
}
