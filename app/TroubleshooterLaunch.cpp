#include "app/TroubleshooterLaunch.h"

#include <QCoreApplication>
#include <QProcess>

QStringList TroubleshooterPaths() {
    return {QCoreApplication::applicationDirPath() + QStringLiteral("/com-troubleshooter"),
            QStringLiteral("/opt/Brenlow/Tralvo/com-troubleshooter")};
}

bool StartFirstOf(const QStringList& programs, const ProgramStarter& start) {
    for (const QString& program : programs) {
        if (start(program)) return true;
    }
    return false;
}

bool StartDetached(const QString& program) { return QProcess::startDetached(program, {}); }
