// The sprint report's histogram: how many issues took how many days, as bars and in words.
#pragma once

#include "SprintReport.h"

#include <QString>

class QChart;

namespace HistogramChart {

// "3" for a bar of one day's width, "3–5" for a wider one.
QString barLabel(const HistogramBin &bin);
// A new chart of the bars, for a chart view to own.
QChart *create(const QList<HistogramBin> &bins);
// The chart in words, for screen readers: "0–2 days: 2 issues; 3–5 days: 1 issue".
QString description(const QList<HistogramBin> &bins);

} // namespace HistogramChart
