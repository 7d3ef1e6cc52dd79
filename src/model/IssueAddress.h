// Where Jira shows one issue, worked out from the address of one of its pages.
#pragma once

#include <QString>
#include <QUrl>

namespace IssueAddress {

// "<Jira>/browse/<key>", where <Jira> is the page's server and the path it is served under:
// everything before Jira's own "/issues", "/secure/", "/browse/" or "/login.jsp", or else the
// page's folder. Nothing (an empty address) for an empty key or a page that is no web address.
QUrl forKey(const QUrl &jiraPage, const QString &key);

} // namespace IssueAddress
