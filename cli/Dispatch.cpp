#include "cli/Dispatch.h"

#include <unistd.h>

#include <memory>

#include "cli/CaptureFile.h"
#include "cli/CommandLine.h"
#include "cli/ContinuousCommand.h"
#include "cli/ExitCodes.h"
#include "cli/Interrupt.h"
#include "cli/ObserverTee.h"
#include "cli/OutputFormat.h"
#include "cli/PollCommand.h"
#include "cli/PvCommand.h"
#include "cli/TraceObserver.h"
#include "hart/HartLink.h"
#include "portselect/PortsCommand.h"
#include "settings/Profile.h"
#include "settings/SettingsTrouble.h"
#include "settings/StartupSettings.h"
#include "strings/Strings.h"
#include "version/Version.h"

namespace {

int UsageError(std::ostream& err, const std::string& message) {
    err << "tralvo-cli: " << message << "\nTry 'tralvo-cli --help'.\n";
    return kExitUsage;
}

// The same store the window uses; the command-line tool only ever reads it.
CProfile& Settings() {
    CProfile& profile = AppProfile();
    profile.m_pszRegistryKey = QStringLiteral("Brenlow");
    return profile;
}

}  // namespace

int RunCli(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
           std::ostream& err) {
    CommandLine line;
    std::string error;
    if (!ParseCommandLine(args, line, error)) return UsageError(err, error);
    if (line.help) {
        out << UsageText();
        return kExitPassed;
    }
    if (line.version) {
        out << "tralvo-cli " TRALVO_VERSION "\n";
        return kExitPassed;
    }
    const bool lineCommand =
        line.command == "poll" || line.command == "continuous" || line.command == "pv";
    if (line.command == "ports") {
        if (!line.commandArgs.empty())
            return UsageError(err, "ports takes only --json, not '" + line.commandArgs[0] + "'");
        return RunPortsCommand(out, line.json);
    }
    if (!lineCommand) return UsageError(err, "unknown command '" + line.command + "'");
    // The capture file is made first, so that a path that will not do costs no port time.
    CCaptureFile capture(SystemClock());
    if (line.pcap && !capture.Create(*line.pcap, error)) return UsageError(err, error);

    // A store that cannot be used reads as the defaults; the user hears of it once.
    const SettingsTroubleListener settingsTrouble([&err](SettingsTrouble trouble,
                                                         const QString& file) {
        err << "tralvo-cli: warning: " << SettingsTroubleText(trouble, file).toStdString() << '\n';
    });
    CProfile& settings = Settings();
    SetStringLanguage(line.language ? QString::fromStdString(*line.language)
                                    : settings.GetProfileString(QStringLiteral("Settings"),
                                                                QStringLiteral("Language"),
                                                                QStringLiteral("English")));
    const uint8_t comPort =
        line.port ? *line.port : RestoreComPort(settings, /*writeBack=*/false).nComPort;

    CHartLink link(TheSerialPort(), SystemClock());
    CObserverTee observers;
    std::unique_ptr<CTraceObserver> trace;
    if (line.trace) {
        trace = std::make_unique<CTraceObserver>(link.Clock(), err, &link.Port());
        observers.Add(trace.get());
    }
    if (line.pcap) observers.Add(&capture.Observer());
    link.SetObserver(&observers);
    // Ctrl+C wakes the port's waits, so every command ends at once with the port closed.
    InstallInterruptHandler(link.Port().Wakeup());
    int status = kExitPassed;
    OutputFormat format;
    format.json = line.json;
    if (line.command == "poll")
        status = RunPollCommand(link, comPort, line.commandArgs, isatty(STDIN_FILENO) == 1, in, out,
                                err, format);
    else if (line.command == "continuous")
        status =
            RunContinuousCommand(link, comPort, line.commandArgs, Interrupted, out, err, format);
    else
        status = RunPvCommand(link, comPort, line.commandArgs, out, err, Interrupted, format);
    // After a port error the line is reported already (a vanished adapter has no settings).
    if (const SerialStatus closed = link.CloseFailure(); closed && !link.PortFailed())
        err << "tralvo-cli: warning: the port's earlier line settings could not be put back: "
            << SerialStatusText(closed) << "\n";
    if (line.pcap && !capture.Complete())
        err << "tralvo-cli: warning: not every frame could be written to '" << capture.Path()
            << "'\n";
    return status;
}
