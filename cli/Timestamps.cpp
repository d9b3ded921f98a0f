#include "cli/Timestamps.h"

#include <cstdlib>

namespace {

constexpr int kSecondsPerMinute = 60;
constexpr int kMinutesPerHour = 60;

QString TwoDigits(int value) { return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0')); }

}  // namespace

QString IsoTimestamp(const QDateTime& time) {
    const QDateTime local = time.toLocalTime();
    const int offsetSeconds = local.offsetFromUtc();
    const int offsetMinutes = std::abs(offsetSeconds) / kSecondsPerMinute;
    return local.toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss.zzz")) +
           (offsetSeconds < 0 ? QLatin1Char('-') : QLatin1Char('+')) +
           TwoDigits(offsetMinutes / kMinutesPerHour) + QLatin1Char(':') +
           TwoDigits(offsetMinutes % kMinutesPerHour);
}

QString ReadableTimestamp(const QDateTime& time) {
    return time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
}
