#include "troubleshooter/DisplayMissingExit.h"

#include <QString>
#include <QtGlobal>
#include <cstdio>
#include <cstdlib>

#include "troubleshooter/ReportCommand.h"

namespace {

QtMessageHandler g_previousHandler = nullptr;

void ExitOnFatal(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type != QtFatalMsg) {
        if (g_previousHandler) g_previousHandler(type, context, message);
        return;
    }
    std::fprintf(stderr, TRALVO_TROUBLESHOOTER_NAME ": %s\n%s", message.toLocal8Bit().constData(),
                 kTroubleshooterUsage);
    std::fputs("The window needs a display; --report prints the findings without one.\n", stderr);
    // Nothing of the program has started yet: there is nothing to clean up.
    std::_Exit(kExitUsage);
}

}  // namespace

DisplayMissingExit::DisplayMissingExit() {
    g_previousHandler = qInstallMessageHandler(ExitOnFatal);
}

DisplayMissingExit::~DisplayMissingExit() { qInstallMessageHandler(g_previousHandler); }
