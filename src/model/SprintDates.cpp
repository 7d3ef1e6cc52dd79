#include "SprintDates.h"

#include <algorithm>
#include <limits>

namespace SprintDates {

namespace {

constexpr qint64 kMsecsPerDay = kSecondsPerDay * 1000;

// Floor and ceiling division for a positive divisor.
qint64 floorDiv(qint64 a, qint64 b)
{
    return a / b - ((a % b != 0) && (a < 0));
}

qint64 ceilDiv(qint64 a, qint64 b)
{
    return a / b + ((a % b != 0) && (a > 0));
}

} // namespace

const QDateTime &earliestInstant()
{
    static const QDateTime instant(QDate(100, 1, 1), QTime(0, 0), Qt::UTC);
    return instant;
}

const QDateTime &latestInstant()
{
    static const QDateTime instant(QDate(9999, 12, 31), QTime(23, 59, 59, 999), Qt::UTC);
    return instant;
}

qint64 saturatingAdd(qint64 a, qint64 b)
{
    qint64 result = 0;
    if (!__builtin_add_overflow(a, b, &result))
        return result;
    return b > 0 ? std::numeric_limits<qint64>::max() : std::numeric_limits<qint64>::min();
}

qint64 saturatingSub(qint64 a, qint64 b)
{
    qint64 result = 0;
    if (!__builtin_sub_overflow(a, b, &result))
        return result;
    return b < 0 ? std::numeric_limits<qint64>::max() : std::numeric_limits<qint64>::min();
}

qint64 saturatingNegation(qint64 value)
{
    return saturatingSub(0, value);
}

QDateTime addDaysWithinSpan(const QDateTime &instant, qint64 days)
{
    const qint64 msecs = instant.toMSecsSinceEpoch();
    // Saturating, since the instant itself may lie anywhere QDateTime can hold.
    const qint64 fewest =
        ceilDiv(saturatingSub(earliestInstant().toMSecsSinceEpoch(), msecs), kMsecsPerDay);
    const qint64 most =
        floorDiv(saturatingSub(latestInstant().toMSecsSinceEpoch(), msecs), kMsecsPerDay);
    const qint64 clamped = std::clamp(days, std::min(fewest, qint64(0)), std::max(most, qint64(0)));
    return QDateTime::fromMSecsSinceEpoch(msecs + clamped * kMsecsPerDay, Qt::UTC);
}

QString dayText(const QDateTime &instant)
{
    return instant.toUTC().date().toString(u"yyyy-MM-dd");
}

qint64 wholeDaysBetween(const QDateTime &from, const QDateTime &to)
{
    return saturatingSub(to.toMSecsSinceEpoch(), from.toMSecsSinceEpoch()) / kMsecsPerDay;
}

} // namespace SprintDates
