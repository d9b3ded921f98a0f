#include <QApplication>
#include <QCoreApplication>
#include <iostream>
#include <string>
#include <vector>

#include "app/Profile.h"
#include "app/StartupSettings.h"
#include "troubleshooter/ReportCommand.h"
#include "troubleshooter/TroubleshooterWindow.h"

namespace {

unsigned StoredPort() {
    // The same store Tralvo's start-up reads; the troubleshooter never writes it.
    AppProfile().m_pszRegistryKey = QStringLiteral("Brenlow");
    return RestoreComPort(AppProfile(), false).nComPort;
}

}  // namespace

int main(int argc, char* argv[]) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (WantsReport(args)) {
        // No display is needed: the report runs over SSH too.
        QCoreApplication app(argc, argv);
        return RunReportCommand(args, StoredPort(), ListPorts(), SystemRoots{}, CurrentUser(),
                                std::cout, std::cerr);
    }
    QApplication app(argc, argv);
    const auto ports = ListPorts();
    TroubleshooterWindow window(ports, InitialPort(StoredPort(), ports), SystemRoots{});
    window.show();
    window.RunChecksNow();
    return app.exec();
}
