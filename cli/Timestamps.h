#pragma once

#include <QDateTime>
#include <QString>

// ISO 8601 in local time with milliseconds and the offset from UTC, the offset always as
// +hh:mm (never Z) so that every line has the same shape: "2024-05-01T10:00:02.512+02:00".
QString IsoTimestamp(const QDateTime& time);

// The same moment for people, in local time: "2024-05-01 10:00:02.512".
QString ReadableTimestamp(const QDateTime& time);
