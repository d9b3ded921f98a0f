#include "cli/PollCommand.h"

#include "cli/CommandLine.h"
#include "cli/ExitCodes.h"
#include "cli/JsonLine.h"
#include "cli/PollJson.h"
#include "workflows/PollHartNetwork.h"

namespace {

bool ParseAnswer(const std::string& text, CTerminalView::Answer& answer) {
    if (text == "ask")
        answer = CTerminalView::Answer::Ask;
    else if (text == "yes")
        answer = CTerminalView::Answer::Yes;
    else if (text == "no")
        answer = CTerminalView::Answer::No;
    else
        return false;
    return true;
}

int ExitStatusOf(PollOutcome outcome) {
    switch (outcome) {
        case PollOutcome::SingleDevice:
        case PollOutcome::MultiDrop:
            return kExitPassed;
        case PollOutcome::Failed:
            return kExitFailed;
        case PollOutcome::PortError:
            return kExitPortError;
        case PollOutcome::Interrupted:
            return kExitInterrupted;
    }
    return kExitFailed;
}

}  // namespace

std::optional<CTerminalView::Answer> ReadPollArguments(const std::vector<std::string>& args,
                                                       bool stdinIsTerminal, std::ostream& err) {
    auto answer = stdinIsTerminal ? CTerminalView::Answer::Ask : CTerminalView::Answer::No;
    const bool read =
        ReadOptionArguments(args, "poll", "--multidrop", err, [&](const std::string& value) {
            if (ParseAnswer(value, answer)) return true;
            err << "tralvo-cli: --multidrop takes ask, yes or no, not '" << value << "'\n";
            return false;
        });
    if (!read) return std::nullopt;
    return answer;
}

int RunPollCommand(CHartLink& link, uint8_t comPort, const std::vector<std::string>& args,
                   bool stdinIsTerminal, std::istream& in, std::ostream& out, std::ostream& err,
                   const OutputFormat& format) {
    const auto answer = ReadPollArguments(args, stdinIsTerminal, err);
    if (!answer) return kExitUsage;
    return RunPollCommand(link, comPort, *answer, in, out, err, format);
}

int RunPollCommand(CHartLink& link, uint8_t comPort, CTerminalView::Answer answer, std::istream& in,
                   std::ostream& out, std::ostream& err, const OutputFormat& format) {
    CTerminalView view(answer, in, out, err);
    TestMembers members;
    members.nComPort = comPort;
    const PollOutcome outcome = RunPollTest(link, view, members);
    if (outcome == PollOutcome::Interrupted) err << "tralvo-cli: interrupted" << std::endl;
    // Only a test the line failed has a verdict on the line.
    const std::optional<LineVerdict> line =
        outcome == PollOutcome::Failed ? format.lineVerdict() : std::nullopt;
    if (format.json) {
        QJsonObject result = PollResultJson(outcome, members, link, view.LastError());
        result["line_diagnosis"] =
            line ? QJsonValue(QString::fromStdString(line->key)) : QJsonValue();
        WriteJsonLine(out, result);
        return ExitStatusOf(outcome);
    }
    if (outcome == PollOutcome::Interrupted) return ExitStatusOf(outcome);
    out << "Status: " << members.strStatus.toStdString() << '\n'
        << "HART Tag: " << members.strTag.toStdString() << '\n'
        << "HART ID: " << members.nHartId << '\n'
        << "HART Addr: " << members.strAddress.toStdString() << std::endl;
    if (line) out << "Line: " << line->text << std::endl;
    return ExitStatusOf(outcome);
}
