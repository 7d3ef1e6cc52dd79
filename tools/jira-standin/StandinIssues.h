// The stand-in's built-in issues and their CSV export, filtered by a query's creation range.
#pragma once

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <utility>

namespace StandinIssues {

// The inclusive creation range a query names with "created >= A AND created <= B"; an open end
// has no bound. None when the query names neither bound.
using CreatedRange = std::pair<std::optional<QDate>, std::optional<QDate>>;
CreatedRange createdRange(const QString &query);

// One issue as the export has it: each title with its values, one for most titles, as many as
// the issue has for those Jira repeats ("Labels", "Sprint").
using ExportedIssue = QList<std::pair<QByteArray, QStringList>>;

// The issues created within the query's range, in the order the export lists them.
QList<ExportedIssue> exportedIssues(const QString &query);

// A page of the export of those issues, as Jira cuts an export into pages of "tempMax": at most
// maxIssues of them from the start-th on (from 0), a header line and one line per issue, each
// ended by CRLF; empty when no issue is left. Repeated titles stand as often as the issues on
// that page need, so pages may differ in their columns.
QByteArray exportCsv(const QString &query, qsizetype start, qsizetype maxIssues);

// The summary and status of the issue with that key, for its page; none for an unknown key.
std::optional<std::pair<QString, QString>> summaryAndStatus(const QString &key);

// What the search page lists for the query: a JSON array of {key, summary, status, created}.
QByteArray searchResultsJson(const QString &query);

} // namespace StandinIssues
