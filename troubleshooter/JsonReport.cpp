#include "troubleshooter/JsonReport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>

namespace {

QString Text(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

void WriteJsonReport(std::ostream& out, const std::string& port, const CheckResults& results,
                     const std::string& error) {
    QJsonArray checks;
    for (const auto& result : results) {
        checks.append(QJsonObject{
            {QStringLiteral("title"), Text(result.title)},
            {QStringLiteral("result"), QString::fromLatin1(OutcomeToken(result.outcome))},
            {QStringLiteral("detail"), Text(result.explanation)},
            {QStringLiteral("suggestion"),
             result.outcome == CheckOutcome::Fail ? Text(result.fix) : QString()},
        });
    }
    const auto failed = std::count_if(results.begin(), results.end(), [](const CheckResult& r) {
        return r.outcome == CheckOutcome::Fail;
    });
    const bool passed = failed == 0 && error.empty();
    QJsonObject report{
        {QStringLiteral("port"), Text(port)},
        {QStringLiteral("outcome"), passed ? QStringLiteral("pass") : QStringLiteral("fail")},
        {QStringLiteral("failed"), static_cast<qint64>(failed)},
        {QStringLiteral("checks"), checks},
    };
    if (!error.empty()) report.insert(QStringLiteral("error"), Text(error));
    out << QJsonDocument(report).toJson(QJsonDocument::Indented).toStdString();
}
