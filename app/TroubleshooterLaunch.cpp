#include "app/TroubleshooterLaunch.h"

#include <QCoreApplication>
#include <QProcess>

QStringList TroubleshooterPaths() {
    return {QCoreApplication::applicationDirPath() + QStringLiteral("/com-troubleshooter"),
            QStringLiteral("/opt/Brenlow/Tralvo/com-troubleshooter")};
}

QStringList TroubleshooterPortArguments(unsigned comPort) {
    return {QStringLiteral("--port"), QString::number(comPort)};
}

bool StartFirstOf(const QStringList& programs, const QStringList& arguments,
                  const ProgramStarter& start) {
    for (const QString& program : programs) {
        if (start(program, arguments)) return true;
    }
    return false;
}

bool StartDetached(const QString& program, const QStringList& arguments) {
    return QProcess::startDetached(program, arguments);
}
