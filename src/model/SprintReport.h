// What an export says about a sprint: how long its issues took, from "Created" to the column after
// it, counted as the work-days formula counts them.
#pragma once

#include "SpanStatistics.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// One issue of the export, as the report lists it. Its key and summary are kept in the report's
// one block of text, so that an export of a million issues costs no million allocations.
struct ReportIssue
{
    enum class Span : quint8
    {
        Days,
        // No end date yet: the issue is still open.
        Open,
        // A start or an end that is no date, or an end before the start.
        Unusable
    };

    qsizetype textAt = 0;
    qint32 keySize = 0;
    qint32 summarySize = 0;
    qint32 days = 0;
    Span span = Span::Unusable;
};

// A bar of the histogram: how many issues took from `from` to `to` days, both included.
struct HistogramBin
{
    qint64 from = 0;
    qint64 to = 0;
    qsizetype issues = 0;
};

struct SprintReport
{
    enum class Outcome
    {
        Ready,
        Unreadable,
        Empty,
        NoCreatedColumn,
        NoColumnAfterCreated
    };

    Outcome outcome = Outcome::Empty;
    // Why the file could not be read, for Unreadable.
    QString readError;
    QString startTitle;
    QString endTitle;
    qsizetype issues = 0;
    qsizetype done = 0;
    qsizetype open = 0;
    qsizetype unusable = 0;
    QList<ReportIssue> rows;
    // The rows' keys and summaries, one after the other.
    QByteArray rowTexts;
    std::optional<SpanStatistics> statistics;
    QList<HistogramBin> histogram;
    // The sprint the export was taken for, as day texts.
    QString sprintStart;
    QString sprintEnd;

    QByteArrayView key(const ReportIssue &issue) const
    {
        return QByteArrayView(rowTexts).sliced(issue.textAt, issue.keySize);
    }
    QByteArrayView summary(const ReportIssue &issue) const
    {
        return QByteArrayView(rowTexts).sliced(issue.textAt + issue.keySize, issue.summarySize);
    }

    // "Days from Created to Resolved".
    QString spanTitle() const;
    // What keeps the report from measuring anything, in the user's words; empty when Ready.
    QString problem() const;
    // Sprint start, end, issues, done, median, 85th percentile and maximum, separated by tabs,
    // for the sprint's row in a spreadsheet; numbers with the locale's decimal point.
    QString summaryLine() const;
};
