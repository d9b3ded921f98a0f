#include "cli/LinkQualityOutput.h"

#include <QJsonArray>

#include "cli/JsonLine.h"
#include "hart/LinkResultName.h"

QJsonObject LinkQualityJson(const CLinkQuality& quality) {
    QJsonArray errors;
    for (const auto& [result, count] : quality.Errors()) {
        errors.append(QJsonObject{
            {QStringLiteral("result"), static_cast<qint64>(result)},
            {QStringLiteral("name"), QString::fromLatin1(LinkResultName(result))},
            {QStringLiteral("count"), static_cast<qint64>(count)},
        });
    }
    QJsonValue replies(QJsonValue::Null);
    if (const auto times = quality.Replies()) {
        replies = QJsonObject{
            {QStringLiteral("min"), static_cast<qint64>(times->minMs)},
            {QStringLiteral("mean"), static_cast<qint64>(times->meanMs)},
            {QStringLiteral("max"), static_cast<qint64>(times->maxMs)},
        };
    }
    return QJsonObject{
        {QStringLiteral("exchanges"), static_cast<qint64>(quality.Exchanges())},
        {QStringLiteral("answered"), static_cast<qint64>(quality.Answered())},
        {QStringLiteral("retried"), static_cast<qint64>(quality.Retried())},
        {QStringLiteral("errors"), errors},
        {QStringLiteral("reply_complete_ms"), replies},
    };
}

void WriteLinkQuality(std::ostream& out, const CLinkQuality& quality, bool json) {
    if (json)
        WriteJsonLine(out, QJsonObject{{QStringLiteral("link_quality"), LinkQualityJson(quality)}});
    else
        out << LinkQualityLine(quality) << std::endl;
}
