#include "cli/PollJson.h"

#include <QJsonArray>

#include "serial/ComNumberText.h"

namespace {

QJsonValue Null() { return QJsonValue(QJsonValue::Null); }

bool Passed(PollOutcome outcome) {
    return outcome == PollOutcome::SingleDevice || outcome == PollOutcome::MultiDrop;
}

// The address box holds the answering addresses as "3, 12".
QJsonArray AddressNumbers(const QString& addressBox) {
    QJsonArray numbers;
    for (const QString& piece : addressBox.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        bool ok = false;
        const int address = piece.trimmed().toInt(&ok);
        if (ok) numbers.append(address);
    }
    return numbers;
}

}  // namespace

QString TagWithoutPadding(QString tag) {
    while (tag.endsWith(QLatin1Char(' '))) tag.chop(1);
    return tag;
}

const char* PollOutcomeWord(PollOutcome outcome) {
    switch (outcome) {
        case PollOutcome::SingleDevice:
            return "pass_single";
        case PollOutcome::MultiDrop:
            return "pass_multidrop";
        case PollOutcome::Failed:
            return "failed";
        case PollOutcome::PortError:
            return "port_error";
        case PollOutcome::Interrupted:
            return "cancelled";
    }
    return "failed";
}

QJsonObject PollResultJson(PollOutcome outcome, const TestMembers& members, const CHartLink& link,
                           const QString& error) {
    const bool single = outcome == PollOutcome::SingleDevice;
    const bool passed = Passed(outcome);
    const QString tag = TagWithoutPadding(members.strTag);
    return QJsonObject{
        {QStringLiteral("status"), members.strStatus},
        {QStringLiteral("outcome"), QString::fromLatin1(PollOutcomeWord(outcome))},
        {QStringLiteral("port"), QString::fromStdString(PortTextFromNumber(members.nComPort))},
        {QStringLiteral("tag"), single ? QJsonValue(tag) : Null()},
        {QStringLiteral("hart_id"), single ? QJsonValue(qint64{members.nHartId}) : Null()},
        {QStringLiteral("address"), passed ? QJsonValue(members.strAddress) : Null()},
        {QStringLiteral("addresses"), passed ? AddressNumbers(members.strAddress) : QJsonArray()},
        {QStringLiteral("manufacturer"), single ? QJsonValue(link.m_nManufacturer) : Null()},
        {QStringLiteral("device_type"), single ? QJsonValue(link.m_nDeviceType) : Null()},
        {QStringLiteral("universal_rev"), single ? QJsonValue(link.m_nUniversalRev) : Null()},
        {QStringLiteral("error"), error.isEmpty() ? Null() : QJsonValue(error)},
    };
}
