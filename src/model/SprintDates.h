// Whole-day arithmetic on sprint instants and the day text every query date is written in.
#pragma once

#include <QDateTime>
#include <QString>

namespace SprintDates {

inline constexpr qint64 kSecondsPerDay = 86400;

// The span of instants the program shows and computes with: the years 100 to 9999 in UTC.
const QDateTime &earliestInstant();
const QDateTime &latestInstant();

// The instant moved by a whole number of days of exactly 86400 seconds, but never out of the
// span above: durations are stored as given, however large, so a move that would leave the span
// stops at its last whole day in that direction (keeping the time of day) instead of
// overflowing or yielding an invalid date.
QDateTime addDaysWithinSpan(const QDateTime &instant, qint64 days);

// The calendar day of the instant in UTC, as yyyy-MM-dd.
QString dayText(const QDateTime &instant);

// Whole days from `from` to `to`, truncated toward zero (positive when `from` is earlier).
qint64 wholeDaysBetween(const QDateTime &from, const QDateTime &to);

// Signed 64-bit arithmetic that saturates instead of overflowing.
qint64 saturatingAdd(qint64 a, qint64 b);
qint64 saturatingSub(qint64 a, qint64 b);
qint64 saturatingNegation(qint64 value);

} // namespace SprintDates
