#include "ExportAnalysis.h"

#include "CsvRecordStream.h"
#include "CsvScanner.h"
#include "ExportDates.h"
#include "Log.h"

#include <QFile>

#include <algorithm>

namespace {

// More bars than this make a histogram hard to read; wider bars are used instead.
constexpr qint64 kMostBars = 20;

qsizetype titleIndex(const QList<QByteArrayView> &titles, QByteArrayView title)
{
    for (qsizetype i = 0; i < titles.size(); ++i) {
        if (CsvScanner::fieldText(titles[i]) == title)
            return i;
    }
    return -1;
}

QByteArray fieldAt(const QList<QByteArrayView> &fields, qsizetype index)
{
    return index >= 0 && index < fields.size() ? CsvScanner::fieldText(fields[index])
                                               : QByteArray();
}

QList<HistogramBin> histogramOf(const QList<qint64> &days)
{
    if (days.isEmpty())
        return {};
    const auto [low, high] = std::minmax_element(days.cbegin(), days.cend());
    const qint64 width = (*high - *low) / kMostBars + 1;
    QList<HistogramBin> bins;
    for (qint64 from = *low; from <= *high; from += width)
        bins.append({from, from + width - 1, 0});
    for (const qint64 day : days)
        ++bins[(day - *low) / width].issues;
    return bins;
}

ReportIssue::Span spanOf(QByteArrayView start, QByteArrayView end, qint64 &days)
{
    const auto started = ExportDates::instant(start);
    if (!started)
        return ReportIssue::Span::Unusable;
    if (end.trimmed().isEmpty())
        return ReportIssue::Span::Open;
    const auto ended = ExportDates::instant(end);
    if (!ended || *ended < *started)
        return ReportIssue::Span::Unusable;
    days = roundedDays(*ended - *started);
    return ReportIssue::Span::Days;
}

} // namespace

SprintReport ExportAnalysis::ofData(QByteArrayView data)
{
    CsvScanner scanner(CsvScanner::withoutByteOrderMark(data));
    ExportAnalysis analysis;
    QList<QByteArrayView> fields;
    if (scanner.nextRecord(fields))
        analysis.addHeader(fields);
    while (scanner.nextRecord(fields))
        analysis.addRecord(fields);
    return analysis.finish();
}

std::optional<SprintReport> ExportAnalysis::ofFile(const QString &path, const Progress &progress)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        logLine(
            QStringLiteral("Sprint report: could not open %1: %2").arg(path, file.errorString()));
        SprintReport report;
        report.outcome = SprintReport::Outcome::Unreadable;
        report.readError = file.errorString();
        return report;
    }
    const qint64 total = file.size();
    CsvRecordStream stream(file);
    ExportAnalysis analysis;
    QList<QByteArrayView> fields;
    if (stream.nextRecord(fields))
        analysis.addHeader(fields);
    qint64 reported = -1;
    while (stream.nextRecord(fields)) {
        analysis.addRecord(fields);
        if (stream.bytesRead() != reported) {
            reported = stream.bytesRead();
            if (!progress(reported, total))
                return std::nullopt;
        }
    }
    SprintReport report = analysis.finish();
    if (stream.failed()) {
        logLine(
            QStringLiteral("Sprint report: could not read %1: %2").arg(path, file.errorString()));
        report.outcome = SprintReport::Outcome::Unreadable;
        report.readError = file.errorString();
    }
    return report;
}

void ExportAnalysis::addHeader(const QList<QByteArrayView> &titles)
{
    mKeyColumn = titleIndex(titles, "Issue key");
    mSummaryColumn = titleIndex(titles, "Summary");
    // The first "Created" decides, as it does for the work-days formula.
    mStartColumn = titleIndex(titles, "Created");
    if (mStartColumn < 0) {
        mReport.outcome = SprintReport::Outcome::NoCreatedColumn;
        return;
    }
    mReport.startTitle = QString::fromUtf8(CsvScanner::fieldText(titles[mStartColumn]));
    if (mStartColumn + 1 >= titles.size()) {
        mReport.outcome = SprintReport::Outcome::NoColumnAfterCreated;
        return;
    }
    mReport.endTitle = QString::fromUtf8(CsvScanner::fieldText(titles[mStartColumn + 1]));
    mReport.outcome = SprintReport::Outcome::Ready;
}

void ExportAnalysis::addRecord(const QList<QByteArrayView> &fields)
{
    if (CsvScanner::isBlank(fields))
        return;
    ++mReport.issues;
    if (mReport.outcome != SprintReport::Outcome::Ready)
        return;
    ReportIssue issue{fieldAt(fields, mKeyColumn), fieldAt(fields, mSummaryColumn)};
    const QByteArray start = fieldAt(fields, mStartColumn);
    const QByteArray end = fieldAt(fields, mStartColumn + 1);
    issue.span = spanOf(start, end, issue.days);
    switch (issue.span) {
    case ReportIssue::Span::Days:
        ++mReport.done;
        mDays.append(issue.days);
        break;
    case ReportIssue::Span::Open:
        ++mReport.open;
        break;
    case ReportIssue::Span::Unusable:
        ++mReport.unusable;
        break;
    }
    mReport.rows.append(std::move(issue));
}

SprintReport ExportAnalysis::finish()
{
    mReport.histogram = histogramOf(mDays);
    mReport.statistics = SpanStatistics::of(std::move(mDays));
    mDays.clear();
    return std::move(mReport);
}
