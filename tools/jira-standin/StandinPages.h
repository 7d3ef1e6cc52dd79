// The stand-in's HTML pages: a login form, the issue navigator, a page without it, issue pages.
#pragma once

#include <QByteArray>
#include <QString>

namespace StandinPages {

// The export link's path; the query follows as the percent-encoded "jqlQuery" parameter.
inline constexpr char kExportPath[] =
    "/sr/jira.issueviews:searchrequest-csv-current-fields/temp/SearchRequest.csv";

QByteArray loginPage(const QString &message);
// How slow the issue navigator is, in milliseconds; -1 for never.
struct SearchPageTiming
{
    // From a click on Search to the results and an export link for them.
    int searchDelayMs = 0;
    // From a click on the export menu to its CSV export link; 0 has the link there from the start.
    int exportMenuDelayMs = 0;
};

// The issue navigator. Search runs in the page, without a reload, as Jira's own does. Its export
// link follows the last finished search and asks for at most exportCap issues, as Jira's asks for
// 1,000.
QByteArray searchPage(const SearchPageTiming &timing, qsizetype exportCap);
QByteArray pageWithoutNavigator();
// An issue's own page, which the keys in the search results link to.
QByteArray issuePage(const QString &key, const QString &summary, const QString &status);

} // namespace StandinPages
