#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <ostream>

// One object as one line of compact JSON, flushed at once so that a pipe sees it while the
// command still runs.
void WriteJsonLine(std::ostream& out, const QJsonObject& object);

// A HART float as the shortest decimal that reads back as the same float: 12.3 rather than
// the 12.300000190734863 its double would print. Null for NaN and the infinities (a device
// sends NaN for a value it does not have), which JSON cannot carry.
QJsonValue JsonFloat(float value);
