#include "cli/ContinuousCommand.h"

#include <cstdint>
#include <sstream>

#include "cli/CommandLine.h"
#include "cli/ExitCodes.h"
#include "cli/JsonLine.h"
#include "cli/TerminalView.h"
#include "cli/Timestamps.h"
#include "workflows/ContinuousSend.h"

namespace {

constexpr uint64_t kMaxCount = 1'000'000'000'000ull;

QJsonValue Null() { return QJsonValue(QJsonValue::Null); }

}  // namespace

QJsonObject ContinuousPollJson(const QDateTime& time, uint64_t count, uint64_t errors,
                               bool answered) {
    return QJsonObject{
        {QStringLiteral("timestamp"), IsoTimestamp(time)},
        {QStringLiteral("count"), static_cast<qint64>(count)},
        {QStringLiteral("errors"), static_cast<qint64>(errors)},
        {QStringLiteral("answered"), answered},
        {QStringLiteral("loop_current_ma"), Null()},
        {QStringLiteral("pv"), Null()},
        {QStringLiteral("pv_unit"), Null()},
        {QStringLiteral("pv_unit_code"), Null()},
    };
}

std::optional<uint64_t> ReadContinuousArguments(const std::vector<std::string>& args,
                                                std::ostream& err) {
    uint64_t count = 0;  // 0: until interrupted
    const bool read =
        ReadOptionArguments(args, "continuous", "--count", err, [&](const std::string& value) {
            const auto number = ParseNumber(value, kMaxCount);
            if (!number || *number == 0) {
                err << "tralvo-cli: --count takes a number of polls from 1, not '" << value
                    << "'\n";
                return false;
            }
            count = *number;
            return true;
        });
    if (!read) return std::nullopt;
    return count;
}

int RunContinuousCommand(CHartLink& link, uint8_t comPort, const std::vector<std::string>& args,
                         const std::function<bool()>& interrupted, std::ostream& out,
                         std::ostream& err, const OutputFormat& format) {
    const auto count = ReadContinuousArguments(args, err);
    if (!count) return kExitUsage;
    return RunContinuousCommand(link, comPort, *count, interrupted, out, err, format);
}

int RunContinuousCommand(CHartLink& link, uint8_t comPort, uint64_t count,
                         const std::function<bool()>& interrupted, std::ostream& out,
                         std::ostream& err, const OutputFormat& format) {
    std::istringstream noInput;
    // Standard output carries nothing but JSON Lines for a script; the status is progress.
    CTerminalView view(CTerminalView::Answer::No, noInput, format.json ? err : out, err);
    view.SetShowStatus(true);
    TestMembers members;
    members.nComPort = comPort;
    if (!BeginContinuousSend(link, view, members)) return kExitPortError;

    uint64_t made = 0;
    uint64_t unanswered = 0;
    const ContinuousEnd end = RunContinuousPolls(
        link, [&] { return interrupted() || (count != 0 && made >= count); },
        [&](uint64_t poll, bool answered) {
            made = poll;
            if (!answered) ++unanswered;
            if (format.json)
                WriteJsonLine(out, ContinuousPollJson(format.now(), poll, unanswered, answered));
            else
                out << "poll " << poll << (answered ? ": answered" : ": no answer") << std::endl;
        });
    if (end != ContinuousEnd::PortStopped) return kExitPassed;
    ReportPortStopped(view, members);
    return kExitPortError;
}
