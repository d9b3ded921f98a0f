#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <QCoreApplication>
#include <QDir>

#include "app/TroubleshooterLaunch.h"

QStringList TroubleshooterPaths() {
    const QString program = QStringLiteral("Com Troubleshooter.exe");
    return {QStringLiteral("C:\\Program Files (x86)\\Brenlow\\Tralvo\\") + program,
            QStringLiteral("C:\\Program Files\\Brenlow\\Tralvo\\") + program,
            QDir::toNativeSeparators(QCoreApplication::applicationDirPath() + u'/' + program)};
}

bool StartDetached(const QString& program, const QStringList& arguments) {
    // The arguments as one command line, each quoted where it needs it ("--port 5" needs
    // none); the program path goes separately, so its spaces need no quotes.
    QStringList quoted;
    for (const QString& argument : arguments)
        quoted << (argument.contains(u' ') ? u'"' + argument + u'"' : argument);
    const std::wstring file = program.toStdWString();
    const std::wstring parameters = quoted.join(u' ').toStdWString();
    const HINSTANCE result =
        ShellExecuteW(nullptr, L"open", file.c_str(), parameters.c_str(), nullptr, SW_SHOWNORMAL);
    // Values above 32 mean the program started.
    return reinterpret_cast<INT_PTR>(result) > 32;
}
