// Whether the export link on the page is for the query the chain typed: Jira's link carries the
// query of the search the page last finished, which on a slow server may be the one before.
#pragma once

#include <QString>

namespace ExportLink {

// The two queries compared as Jira may have written them: percent-encoded, or with "+" for a
// blank, and without blanks at either end.
QString comparable(const QString &query);

// True unless the link's address names a "jqlQuery" that differs from the typed query.
bool isForQuery(const QString &linkAddress, const QString &typedQuery);

} // namespace ExportLink
