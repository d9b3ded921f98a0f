#include "cli/PvTickOutput.h"

#include "cli/JsonLine.h"
#include "cli/Timestamps.h"
#include "traffic/HartNames.h"

namespace {

QJsonValue Null() { return QJsonValue(QJsonValue::Null); }

std::string UnitText(uint8_t code) {
    if (const char* name = traffic::UnitName(code)) return name;
    return "(unit " + std::to_string(code) + ")";
}

}  // namespace

std::string PvTickLine(const PvTick& tick) {
    std::string line =
        ReadableTimestamp(tick.time).toStdString() + "  Count: " + std::to_string(tick.nCount) +
        "  Errors: " + std::to_string(tick.nErrors) + "  AO: " + tick.strAO + "  PV: " + tick.strPV;
    // The unit belongs to the PV the box shows; a box left empty gets none.
    if (tick.reading && tick.reading->primaryVariable && tick.reading->primaryUnit)
        line += ' ' + UnitText(*tick.reading->primaryUnit);
    return line;
}

QJsonObject PvTickJson(const PvTick& tick, const PvDevice& device) {
    // The boxes keep an earlier tick's values when a tick fails; the JSON says what each
    // tick itself read.
    const PvReading* read =
        tick.reading && tick.reading->nCount == tick.nCount ? &*tick.reading : nullptr;
    const bool hasUnit = read && read->primaryUnit;
    const uint8_t unitCode = hasUnit ? read->primaryUnit.value() : 0;
    const char* unitName = hasUnit ? traffic::UnitName(unitCode) : nullptr;
    return QJsonObject{
        {QStringLiteral("timestamp"), IsoTimestamp(tick.time)},
        {QStringLiteral("count"), tick.nCount},
        {QStringLiteral("errors"), tick.nErrors},
        {QStringLiteral("loop_current_ma"),
         read && read->loopCurrentMa ? JsonFloat(*read->loopCurrentMa) : Null()},
        {QStringLiteral("pv"),
         read && read->primaryVariable ? JsonFloat(*read->primaryVariable) : Null()},
        {QStringLiteral("pv_unit"), unitName ? QJsonValue(QString::fromLatin1(unitName)) : Null()},
        {QStringLiteral("pv_unit_code"), hasUnit ? QJsonValue(unitCode) : Null()},
        {QStringLiteral("complete"), tick.strPV == pvtext::kComplete},
        {QStringLiteral("tag"), QString::fromStdString(device.tag)},
        {QStringLiteral("hart_id"), qint64{device.hartId}},
    };
}
