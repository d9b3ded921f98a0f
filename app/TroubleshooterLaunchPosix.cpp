#include <QCoreApplication>
#include <QProcess>

#include "app/TroubleshooterLaunch.h"

QStringList TroubleshooterPaths() {
    return {QCoreApplication::applicationDirPath() + QStringLiteral("/com-troubleshooter"),
            QStringLiteral("/opt/Brenlow/Tralvo/com-troubleshooter")};
}

bool StartDetached(const QString& program, const QStringList& arguments) {
    return QProcess::startDetached(program, arguments);
}
