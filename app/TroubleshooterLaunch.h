#pragma once

#include <QString>
#include <QStringList>
#include <functional>

// Starts a program without waiting for it; true when it started.
using ProgramStarter = std::function<bool(const QString& program)>;

// Where the troubleshooter may be installed, in the order to try: beside the running
// program, then the vendor folder under /opt.
QStringList TroubleshooterPaths();

// Tries each program in order until one starts. Returns whether any did.
bool StartFirstOf(const QStringList& programs, const ProgramStarter& start);

// The platform's own detached start (no arguments, the current working directory).
bool StartDetached(const QString& program);
