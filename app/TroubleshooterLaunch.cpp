#include "app/TroubleshooterLaunch.h"

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
