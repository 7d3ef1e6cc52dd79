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

qsizetype titleIndex(const CsvFields &titles, QByteArrayView title)
{
    for (qsizetype i = 0; i < std::ssize(titles); ++i) {
        if (CsvScanner::fieldText(titles[i]) == title)
            return i;
    }
    return -1;
}

QByteArrayView fieldAt(const CsvFields &fields, qsizetype index)
{
    return index >= 0 && index < std::ssize(fields) ? fields[index] : QByteArrayView();
}

// The field's text, decoded into scratch only when it is quoted.
QByteArrayView textOf(QByteArrayView raw, QByteArray &scratch)
{
    if (!raw.contains('"'))
        return raw;
    scratch.clear();
    CsvScanner::appendFieldText(scratch, raw);
    return scratch;
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

ReportIssue::Span spanOf(QByteArrayView start, QByteArrayView end, qint32 &days)
{
    const auto started = ExportDates::instant(start);
    if (!started)
        return ReportIssue::Span::Unusable;
    if (end.trimmed().isEmpty())
        return ReportIssue::Span::Open;
    const auto ended = ExportDates::instant(end);
    if (!ended || *ended < *started)
        return ReportIssue::Span::Unusable;
    days = static_cast<qint32>(roundedDays(*ended - *started));
    return ReportIssue::Span::Days;
}

// The report of a file that could not be read to its end, with a log line that says why.
SprintReport unreadable(const QString &failedStep, const QString &path, const QString &error)
{
    logLine(QStringLiteral("Sprint report: could not %1 %2: %3").arg(failedStep, path, error));
    SprintReport report;
    report.outcome = SprintReport::Outcome::Unreadable;
    report.readError = error;
    return report;
}

} // namespace

SprintReport ExportAnalysis::ofData(QByteArrayView data)
{
    CsvScanner scanner(CsvScanner::withoutByteOrderMark(data));
    ExportAnalysis analysis;
    CsvFields fields;
    if (scanner.nextRecord(fields))
        analysis.addHeader(fields);
    while (scanner.nextRecord(fields))
        analysis.addRecord(fields);
    return analysis.finish();
}

std::optional<SprintReport> ExportAnalysis::ofFile(const QString &path, const Progress &progress)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return unreadable(QStringLiteral("open"), path, file.errorString());
    const qint64 total = file.size();
    CsvRecordStream stream(file);
    ExportAnalysis analysis;
    CsvFields fields;
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
    if (stream.failed())
        return unreadable(QStringLiteral("read"), path, file.errorString());
    return analysis.finish();
}

void ExportAnalysis::addHeader(const CsvFields &titles)
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
    if (mStartColumn + 1 >= std::ssize(titles)) {
        mReport.outcome = SprintReport::Outcome::NoColumnAfterCreated;
        return;
    }
    mReport.endTitle = QString::fromUtf8(CsvScanner::fieldText(titles[mStartColumn + 1]));
    mReport.outcome = SprintReport::Outcome::Ready;
}

void ExportAnalysis::addRecord(const CsvFields &fields)
{
    if (CsvScanner::isBlank(fields))
        return;
    ++mReport.issues;
    if (mReport.outcome != SprintReport::Outcome::Ready)
        return;
    ReportIssue issue;
    issue.textAt = mReport.rowTexts.size();
    issue.keySize = static_cast<qint32>(
        CsvScanner::appendFieldText(mReport.rowTexts, fieldAt(fields, mKeyColumn)));
    issue.summarySize = static_cast<qint32>(
        CsvScanner::appendFieldText(mReport.rowTexts, fieldAt(fields, mSummaryColumn)));
    issue.span = spanOf(textOf(fieldAt(fields, mStartColumn), mStartText),
                        textOf(fieldAt(fields, mStartColumn + 1), mEndText), issue.days);
    switch (issue.span) {
    case ReportIssue::Span::Days:
        ++mReport.done;
        break;
    case ReportIssue::Span::Open:
        ++mReport.open;
        break;
    case ReportIssue::Span::Unusable:
        ++mReport.unusable;
        break;
    }
    mReport.rows.append(issue);
}

SprintReport ExportAnalysis::finish()
{
    QList<qint64> days;
    days.reserve(mReport.done);
    for (const ReportIssue &issue : std::as_const(mReport.rows)) {
        if (issue.span == ReportIssue::Span::Days)
            days.append(issue.days);
    }
    mReport.histogram = histogramOf(days);
    mReport.statistics = SpanStatistics::of(std::move(days));
    return std::move(mReport);
}
