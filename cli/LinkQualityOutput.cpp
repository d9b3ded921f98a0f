#include "cli/LinkQualityOutput.h"

#include "cli/JsonLine.h"
#include "strings/TrafficTranslation.h"

namespace {

QJsonValue Count(uint64_t n) { return static_cast<qint64>(n); }

}  // namespace

QJsonObject LinkSummaryJson(const traffic::CLinkQuality::Figures& f) {
    QJsonValue median(QJsonValue::Null), p95(QJsonValue::Null), max(QJsonValue::Null);
    if (f.answerTimes) {
        median = static_cast<qint64>(f.answerTimes->medianMs);
        p95 = static_cast<qint64>(f.answerTimes->p95Ms);
        max = static_cast<qint64>(f.answerTimes->maxMs);
    }
    return QJsonObject{
        {QStringLiteral("summary"), true},
        {QStringLiteral("exchanges"), Count(f.exchanges)},
        {QStringLiteral("answered"), Count(f.answered)},
        {QStringLiteral("retried"), Count(f.retried)},
        {QStringLiteral("no_reply"), Count(f.noReply)},
        {QStringLiteral("incomplete"), Count(f.incomplete)},
        {QStringLiteral("bad_checksum"), Count(f.badChecksum)},
        {QStringLiteral("line_errors"), Count(f.lineErrors)},
        {QStringLiteral("busy"), Count(f.busy)},
        {QStringLiteral("answer_ms_median"), median},
        {QStringLiteral("answer_ms_p95"), p95},
        {QStringLiteral("answer_ms_max"), max},
    };
}

void WriteLinkQuality(std::ostream& out, const traffic::CLinkQuality::Figures& figures, bool json,
                      const std::optional<LineVerdict>& line) {
    if (json) {
        QJsonObject summary = LinkSummaryJson(figures);
        summary[QStringLiteral("line_diagnosis")] =
            line ? QJsonValue(QString::fromStdString(line->key)) : QJsonValue();
        WriteJsonLine(out, summary);
        return;
    }
    out << traffic::LinkQualityText(figures, traffictext::InterfaceLanguage()) << '\n';
    if (line) out << "Line: " << line->text << '\n';
    out.flush();
}
