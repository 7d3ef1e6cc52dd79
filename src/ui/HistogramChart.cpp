#include "HistogramChart.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QCoreApplication>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("HistogramChart", text);
}

// More labels than this do not fit side by side under the bars.
constexpr qsizetype kUprightLabels = 10;

} // namespace

namespace HistogramChart {

QString barLabel(const HistogramBin &bin)
{
    return bin.from == bin.to ? QString::number(bin.from)
                              : QString::number(bin.from) + u'–' + QString::number(bin.to);
}

QChart *create(const QList<HistogramBin> &bins)
{
    auto *issues = new QBarSet(tr("Issues"));
    QStringList labels;
    qsizetype tallest = 0;
    for (const HistogramBin &bin : bins) {
        issues->append(static_cast<qreal>(bin.issues));
        labels.append(barLabel(bin));
        tallest = std::max(tallest, bin.issues);
    }
    auto *series = new QBarSeries;
    series->append(issues);
    series->setBarWidth(0.9);

    auto *chart = new QChart;
    chart->addSeries(series);
    chart->legend()->hide();
    chart->setTitle(tr("Issues by days taken"));
    chart->setAnimationOptions(QChart::NoAnimation);

    auto *days = new QBarCategoryAxis;
    days->append(labels);
    days->setTitleText(tr("Days"));
    // Slanted, not shortened: a range cut to "12…" says nothing.
    days->setTruncateLabels(false);
    if (labels.size() > kUprightLabels)
        days->setLabelsAngle(-45);
    chart->addAxis(days, Qt::AlignBottom);
    series->attachAxis(days);

    auto *count = new QValueAxis;
    count->setRange(0, static_cast<qreal>(std::max<qsizetype>(tallest, 1)));
    count->setLabelFormat(QStringLiteral("%d"));
    count->setTickType(QValueAxis::TicksDynamic);
    count->setTickAnchor(0);
    count->setTickInterval(std::max<qreal>(1, std::ceil(static_cast<qreal>(tallest) / 5)));
    count->setTitleText(tr("Issues"));
    chart->addAxis(count, Qt::AlignLeft);
    series->attachAxis(count);
    return chart;
}

QString description(const QList<HistogramBin> &bins)
{
    QStringList parts;
    for (const HistogramBin &bin : bins) {
        parts.append(bin.issues == 1 ? tr("%1 days: 1 issue").arg(barLabel(bin))
                                     : tr("%1 days: %2 issues").arg(barLabel(bin)).arg(bin.issues));
    }
    return parts.join(QStringLiteral("; "));
}

} // namespace HistogramChart
