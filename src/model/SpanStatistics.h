// The numbers a spreadsheet gives for a column of whole days: MEDIAN, AVERAGE, PERCENTILE and MAX.
#pragma once

#include <QList>

#include <optional>

struct SpanStatistics
{
    double median = 0;
    double mean = 0;
    double percentile85 = 0;
    qint64 maximum = 0;

    // Nothing for no days.
    static std::optional<SpanStatistics> of(QList<qint64> days);

    // PERCENTILE (inclusive): the value at rank p·(n−1) of the sorted days, interpolated linearly
    // between its neighbours. p lies in [0, 1]; sorted is not empty.
    static double percentile(const QList<qint64> &sorted, double p);
};

// ROUND(x, 0) of a span in days between two instants in milliseconds: halves away from zero.
qint64 roundedDays(qint64 msecs);
