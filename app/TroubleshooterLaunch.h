#pragma once

#include <QString>
#include <QStringList>
#include <functional>

// Starts a program with arguments without waiting for it; true when it started.
using ProgramStarter = std::function<bool(const QString& program, const QStringList& arguments)>;

// Where the troubleshooter may be installed, in the order to try. Linux: beside the running
// program, then the vendor folder under /opt. Windows: "Com Troubleshooter.exe" under
// Program Files (x86), then under Program Files, the vendor's two install folders, then
// beside the running program (a copy not installed).
QStringList TroubleshooterPaths();

// The troubleshooter's arguments for checking one port: "--port N".
QStringList TroubleshooterPortArguments(unsigned comPort);

// Tries each program in order, with the same arguments, until one starts. Returns whether
// any did.
bool StartFirstOf(const QStringList& programs, const QStringList& arguments,
                  const ProgramStarter& start);

// The platform's own detached start, in the current working directory (ShellExecuteW's
// "open" in a normal window on Windows).
bool StartDetached(const QString& program, const QStringList& arguments);
