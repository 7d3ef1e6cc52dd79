#include "JiraStatus.h"

#include <QCoreApplication>
#include <QDir>
#include <QLocale>

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("JiraStatus", text);
}

QString number(qsizetype value)
{
    return QLocale().toString(static_cast<qlonglong>(value));
}

} // namespace

namespace JiraStatus {

QString openingPage(bool loggingIn)
{
    return loggingIn ? tr("Opening the login page…") : tr("Opening the search page…");
}

QString loginShown()
{
    return tr("Log in to Jira in the browser window");
}

QString noAddress(const QString &siteKey)
{
    return tr("SiteURL.plist gives no address for \"%1\"").arg(siteKey);
}

QString stepRunning(ChainStep step)
{
    switch (step) {
    case ChainStep::SetText:
        return tr("Typing the query…");
    case ChainStep::Search:
        return tr("Searching…");
    case ChainStep::ExportMenu:
        return tr("Opening the export menu…");
    case ChainStep::CsvExport:
        return tr("Exporting…");
    }
    return {};
}

QString missingElement(ChainStep step)
{
    switch (step) {
    case ChainStep::SetText:
        return tr("The search page has no search box");
    case ChainStep::Search:
        return tr("The search page has no Search button");
    case ChainStep::ExportMenu:
        return tr("The search page has no export menu");
    case ChainStep::CsvExport:
        return tr("The search page has no CSV export");
    }
    return {};
}

QString searched(const QString &start, const QString &end)
{
    return tr("Searched from %1 to %2; the results are in the browser window").arg(start, end);
}

QString alreadyRunning()
{
    return tr("A Jira command is still running; press Stop to end it first");
}

QString waitingForJira()
{
    return tr("Waiting for Jira…");
}

QString searchUnfinished()
{
    return tr("Jira had not finished the search");
}

QString stopped()
{
    return tr("Stopped");
}

QString windowClosed()
{
    return tr("Stopped: the browser window was closed");
}

QString webPageInstead()
{
    return tr("Jira answered with a web page, not an export; it is shown in the browser window");
}

QString saved(qsizetype issues, const QString &path)
{
    return issues == 1 ? tr("Saved 1 issue to %1").arg(shownPath(path))
                       : tr("Saved %1 issues to %2").arg(number(issues), shownPath(path));
}

QString found(qsizetype issues, const QString &start, const QString &end)
{
    return issues == 1 ? tr("Found 1 issue from %1 to %2").arg(start, end)
                       : tr("Found %1 issues from %2 to %3").arg(number(issues), start, end);
}

QString mayBeCutOff(qsizetype cap)
{
    return tr("; Jira may have left issues out, as its export stops at %1").arg(number(cap));
}

QString fetchingIssues(qsizetype first, qsizetype last)
{
    return tr("Fetching issues %1–%2…").arg(number(first), number(last));
}

QString pageFailed(int page, int httpStatus, const QString &reason)
{
    if (httpStatus == 401 || httpStatus == 403)
        return tr("Jira refused page %1 of the export (%2): log in first; nothing was saved")
            .arg(page)
            .arg(httpStatus);
    if (httpStatus != 0)
        return tr("Jira answered %1 to page %2 of the export; nothing was saved")
            .arg(httpStatus)
            .arg(page);
    return tr("Page %1 of the export could not be fetched: %2; nothing was saved")
        .arg(QString::number(page), reason);
}

QString pageNotAnExport(int page)
{
    return tr("Jira answered page %1 of the export with a web page; nothing was saved").arg(page);
}

QString pageLimitReached(int pages, qsizetype issues)
{
    return tr("; Jira may have more, as an export stops after %1 pages (%2 issues): narrow the "
              "query for the rest")
        .arg(QString::number(pages), number(issues));
}

QString notWritten(const QString &reason)
{
    return tr("JIRA.csv could not be written: %1; the previous file was kept").arg(reason);
}

QString noApplication(const QString &path)
{
    return tr("No application opens CSV files; the export is at %1").arg(shownPath(path));
}

QString noIssues(const QString &start, const QString &end)
{
    return tr("No issues from %1 to %2").arg(start, end);
}

QString steppingBack(const QString &start, const QString &end, int step, int bound)
{
    return tr("No issues from %1 to %2; trying the sprint before (%3 of %4)")
        .arg(start, end, QString::number(step), QString::number(bound));
}

QString gaveUp(const QString &start, const QString &end, int bound)
{
    return tr("No issues from %1 to %2 either; gave up after %3 sprints")
        .arg(start, end, QString::number(bound));
}

QString fetchFailed(int httpStatus, const QString &reason)
{
    if (httpStatus == 401 || httpStatus == 403)
        return tr("Jira refused the export (%1): log in first").arg(httpStatus);
    if (httpStatus != 0)
        return tr("Jira answered %1 to the export").arg(httpStatus);
    return tr("The export could not be fetched: %1").arg(reason);
}

QString showingIssue(const QString &key)
{
    return tr("Opening %1 in the browser window").arg(key);
}

QString noIssueAddress(const QString &key)
{
    return tr("SiteURL.plist gives no Jira address to open %1 at").arg(key);
}

QString shownPath(const QString &path)
{
    const QString home = QDir::homePath();
    if (path == home || path.startsWith(home + QLatin1Char('/')))
        return QLatin1Char('~') + path.mid(home.size());
    return path;
}

} // namespace JiraStatus
