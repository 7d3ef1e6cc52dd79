#include "SpanStatistics.h"

#include <algorithm>
#include <cmath>
#include <numeric>

std::optional<SpanStatistics> SpanStatistics::of(QList<qint64> days)
{
    if (days.isEmpty())
        return std::nullopt;
    std::sort(days.begin(), days.end());
    SpanStatistics statistics;
    statistics.median = percentile(days, 0.5);
    statistics.percentile85 = percentile(days, 0.85);
    statistics.maximum = days.last();
    const double sum = std::accumulate(days.cbegin(), days.cend(), 0.0);
    statistics.mean = sum / static_cast<double>(days.size());
    return statistics;
}

double SpanStatistics::percentile(const QList<qint64> &sorted, double p)
{
    const double rank = p * static_cast<double>(sorted.size() - 1);
    const auto below = static_cast<qsizetype>(std::floor(rank));
    const double fraction = rank - static_cast<double>(below);
    const auto low = static_cast<double>(sorted[below]);
    if (below + 1 >= sorted.size())
        return low;
    return low + fraction * (static_cast<double>(sorted[below + 1]) - low);
}

qint64 roundedDays(qint64 msecs)
{
    constexpr qint64 kDay = 24 * 60 * 60 * 1000;
    const qint64 magnitude = (std::abs(msecs) + kDay / 2) / kDay;
    return msecs < 0 ? -magnitude : magnitude;
}
