// The stand-in's HTML pages: a login form, the issue navigator, and a page without it.
#pragma once

#include <QByteArray>
#include <QString>

namespace StandinPages {

// The export link's path; the query follows as the percent-encoded "jqlQuery" parameter.
inline constexpr char kExportPath[] =
    "/sr/jira.issueviews:searchrequest-csv-current-fields/temp/SearchRequest.csv";

QByteArray loginPage(const QString &message);
// The issue navigator. Search runs in the page, without a reload, as Jira's own does.
QByteArray searchPage();
QByteArray pageWithoutNavigator();

} // namespace StandinPages
