#include "cli/Dispatch.h"

#include <unistd.h>

#include <cstring>
#include <functional>
#include <memory>
#include <optional>

#include "cli/CaptureFile.h"
#include "cli/CommandLine.h"
#include "cli/ContinuousCommand.h"
#include "cli/DescriptorStream.h"
#include "cli/ExitCodes.h"
#include "cli/Interrupt.h"
#include "cli/LinkQualityOutput.h"
#include "cli/OutputFormat.h"
#include "cli/PollCommand.h"
#include "cli/PortsCommand.h"
#include "cli/PvCommand.h"
#include "cli/TraceWriter.h"
#include "hart/HartLink.h"
#include "settings/Profile.h"
#include "settings/SettingsTrouble.h"
#include "settings/StartupSettings.h"
#include "strings/Strings.h"
#include "strings/TrafficTranslation.h"
#include "traffic/LineDiagnosis.h"
#include "traffic/LinkQuality.h"
#include "traffic/WireTap.h"
#include "version/Version.h"

namespace {

int UsageError(std::ostream& err, const std::string& message) {
    err << "tralvo-cli: " << message << "\nTry 'tralvo-cli --help'.\n";
    return kExitUsage;
}

// The same store the window uses; the command-line tool only ever reads it.
CProfile& Settings() {
    CProfile& profile = AppProfile();
    profile.m_pszRegistryKey = kTralvoRegistryKey;
    return profile;
}

// A line command with its own arguments read: runs on the link and the COM number, and
// ends early when stop() says so.
using LineCommand =
    std::function<int(CHartLink& link, uint8_t comPort, const std::function<bool()>& stop)>;

// Nothing, with a message on err, when the command or its arguments cannot be used.
std::optional<LineCommand> ReadLineCommand(const CommandLine& line, std::istream& in,
                                           std::ostream& out, std::ostream& err,
                                           const OutputFormat& format) {
    if (line.command == "poll") {
        const auto answer = ReadPollArguments(line.commandArgs, isatty(STDIN_FILENO) == 1, err);
        if (!answer) return std::nullopt;
        return [&, answer = *answer](CHartLink& link, uint8_t comPort, const auto&) {
            return RunPollCommand(link, comPort, answer, in, out, err, format);
        };
    }
    if (line.command == "continuous") {
        const auto count = ReadContinuousArguments(line.commandArgs, err);
        if (!count) return std::nullopt;
        return [&, count = *count](CHartLink& link, uint8_t comPort, const auto& stop) {
            return RunContinuousCommand(link, comPort, count, stop, out, err, format);
        };
    }
    if (line.command == "pv") {
        const auto attempts = ReadPvArguments(line.commandArgs, err);
        if (!attempts) return std::nullopt;
        return [&, attempts = *attempts](CHartLink& link, uint8_t comPort, const auto& stop) {
            return RunPvCommand(link, comPort, attempts, out, err, stop, format);
        };
    }
    UsageError(err, "unknown command '" + line.command + "'");
    return std::nullopt;
}

int RunLineCommand(const CommandLine& line, std::istream& in, std::ostream& out,
                   std::ostream& err) {
    OutputFormat format;
    format.json = line.json;
    const std::optional<LineCommand> command = ReadLineCommand(line, in, out, err, format);
    if (!command) return kExitUsage;
    CHartLink link(TheSerialPort(), SystemClock());
    // A stop signal wakes the port's waits, so every command ends at once with the port
    // closed; caught before any output file exists, so that a FIFO's reader that goes away
    // cannot kill us either.
    InstallInterruptHandler(link.Port().Wakeup());

    // The capture file is made only now that the whole command line is known good, so that
    // a mistyped command leaves an earlier capture as it was, and before the port opens, so
    // that a path that will not do costs no port time.
    CCaptureFile capture([] { return !Interrupted(); });
    std::string error;
    if (line.pcap && !capture.Create(*line.pcap, error)) return UsageError(err, error);
    if (line.pcap && !capture.Complete()) {
        err << "tralvo-cli: " << capture.FailureText() << '\n';
        return kExitIoError;
    }

    // A store that cannot be used reads as the defaults; the user hears of it once.
    const SettingsTroubleListener settingsTrouble([&err](SettingsTrouble trouble,
                                                         const QString& file) {
        err << "tralvo-cli: warning: " << SettingsTroubleText(trouble, file).toStdString() << '\n';
    });
    CProfile& settings = Settings();
    SetStringLanguage(line.language ? QString::fromStdString(*line.language)
                                    : StoredLanguage(settings));
    const uint8_t comPort =
        line.port ? *line.port : RestoreComPort(settings, /*writeBack=*/false).nComPort;

    // One record of the wire serves the trace, the capture, the run's link figures and
    // the line's diagnosis.
    const int64_t startUs = traffic::WallClockNowUs();
    CTraceWriter trace(err, startUs);
    traffic::CLineDiagnosis diagnosis;
    // The runs that exist to test the line say at their end how good it was.
    const bool tellsLinkQuality = line.command == "pv" || line.command == "continuous";
    traffic::CLinkQuality quality;
    traffic::CWireTap wire(link.Clock(), startUs, [&](traffic::TrafficFrame frame) {
        if (tellsLinkQuality) quality.Add(frame);
        if (line.trace) trace.Write(frame);
        if (line.pcap) capture.Write(frame);
        diagnosis.Add(frame);
    });
    format.lineVerdict = [&diagnosis]() -> std::optional<LineVerdict> {
        const std::optional<traffic::LineClass> verdict = diagnosis.Verdict();
        if (!verdict) return std::nullopt;
        return LineVerdict{traffic::LineClassKey(*verdict),
                           traffic::LineClassText(*verdict, traffictext::InterfaceLanguage())};
    };
    link.SetObserver(&wire);
    // Output that can no longer be written ends a run as a signal does: going on would
    // only lose more of it.
    const std::function<bool()> stop = [&] {
        return Interrupted() || out.fail() || (line.pcap && !capture.Complete());
    };
    int status = (*command)(link, comPort, stop);
    // A run that never reached the line (the port did not open) has nothing to tell. A
    // failed write shows on out and is reported as every lost output is.
    if (const traffic::CLinkQuality::Figures figures = quality.Snapshot();
        tellsLinkQuality && figures.exchanges > 0)
        WriteLinkQuality(out, figures, format.json, format.lineVerdict());
    // After a port error the line is reported already (a vanished adapter has no settings).
    if (const SerialStatus closed = link.CloseFailure(); closed && !link.PortFailed())
        err << "tralvo-cli: warning: the port's earlier line settings could not be put back: "
            << SerialStatusText(closed) << "\n";
    link.SetObserver(nullptr);
    if (line.pcap && !capture.Close()) {
        err << "tralvo-cli: " << capture.FailureText() << '\n';
        status = kExitIoError;
    }
    return status;
}

int RunCommand(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
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
    if (line.command == "ports") {
        if (!line.commandArgs.empty())
            return UsageError(err, "ports takes only --json, not '" + line.commandArgs[0] + "'");
        return RunPortsCommand(out, line.json);
    }
    return RunLineCommand(line, in, out, err);
}

// Why standard output failed, where the stream knows it.
std::string WriteFailureReason(const std::ostream& out) {
    const auto* stream = dynamic_cast<const CDescriptorStream*>(&out);
    if (!stream || stream->Error() == 0) return {};
    return std::string(": ") + std::strerror(stream->Error());
}

}  // namespace

int RunCli(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
           std::ostream& err) {
    int status = RunCommand(args, in, out, err);
    out.flush();
    const int signal = InterruptSignal();
    // A reader that went away (SIGPIPE) wants no more of us; anything else lost is news.
    if (out.fail() && signal != kStopBrokenPipe) {
        err << "tralvo-cli: cannot write standard output" << WriteFailureReason(out)
            << "; the output is incomplete\n";
        status = kExitIoError;
    }
    // Ctrl+C is how poll is interrupted and how pv and continuous are meant to end; their
    // own statuses say so. Any other stop signal is the run cut short from outside.
    if (signal != 0 && signal != kStopInterrupt) return kExitSignalBase + signal;
    return status;
}
