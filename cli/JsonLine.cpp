#include "cli/JsonLine.h"

#include <QJsonDocument>
#include <charconv>
#include <cmath>

void WriteJsonLine(std::ostream& out, const QJsonObject& object) {
    out << QJsonDocument(object).toJson(QJsonDocument::Compact).toStdString() << std::endl;
}

QJsonValue JsonFloat(float value) {
    if (!std::isfinite(value)) return QJsonValue(QJsonValue::Null);
    char text[32];
    const auto [end, error] = std::to_chars(text, text + sizeof text, value);
    double shortest = value;
    if (error == std::errc()) std::from_chars(text, end, shortest);
    return shortest;
}
