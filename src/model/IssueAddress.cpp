#include "IssueAddress.h"

#include <array>

namespace {

// The path Jira is served under: "" for a server of its own, "/jira" under a context path.
QString contextPath(const QString &pagePath)
{
    static const std::array<QString, 4> kJiraPages = {
        QStringLiteral("/issues"), QStringLiteral("/secure/"), QStringLiteral("/browse/"),
        QStringLiteral("/login.jsp")};
    for (const QString &page : kJiraPages) {
        const qsizetype at = pagePath.indexOf(page);
        if (at >= 0)
            return pagePath.first(at);
    }
    return pagePath.first(std::max<qsizetype>(pagePath.lastIndexOf(u'/'), 0));
}

} // namespace

namespace IssueAddress {

QUrl forKey(const QUrl &jiraPage, const QString &key)
{
    const QString trimmedKey = key.trimmed();
    if (trimmedKey.isEmpty() || !jiraPage.isValid() || jiraPage.host().isEmpty() ||
        (jiraPage.scheme() != u"https" && jiraPage.scheme() != u"http"))
        return {};
    QUrl address =
        jiraPage.adjusted(QUrl::RemoveQuery | QUrl::RemoveFragment | QUrl::RemoveUserInfo);
    // The key is one path segment, whatever it holds.
    const QString segment = QString::fromUtf8(QUrl::toPercentEncoding(trimmedKey));
    address.setPath(contextPath(jiraPage.path()) + u"/browse/" + segment, QUrl::TolerantMode);
    return address;
}

} // namespace IssueAddress
