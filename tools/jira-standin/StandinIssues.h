// The stand-in's built-in issues and their CSV export, filtered by a query's creation range.
#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>

#include <optional>
#include <utility>

namespace StandinIssues {

// The inclusive creation range a query names with "created >= A AND created <= B"; an open end
// has no bound. None when the query names neither bound.
using CreatedRange = std::pair<std::optional<QDate>, std::optional<QDate>>;
CreatedRange createdRange(const QString &query);

// The export of the issues created within the query's range, at most maxIssues of them, as Jira
// cuts an export off at its "tempMax": a header line and one line per issue, each ended by CRLF;
// empty when no issue lies within the range.
QByteArray exportCsv(const QString &query, qsizetype maxIssues);

// The header line of every non-empty export, without its line end.
QByteArray exportHeader();

// The summary and status of the issue with that key, for its page; none for an unknown key.
std::optional<std::pair<QString, QString>> summaryAndStatus(const QString &key);

// What the search page lists for the query: a JSON array of {key, summary, status, created}.
QByteArray searchResultsJson(const QString &query);

} // namespace StandinIssues
