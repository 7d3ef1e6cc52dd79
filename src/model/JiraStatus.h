// The status line's texts for the Jira commands: what is running, and how each command ended, in
// the user's words. Log lines stay as they are; these are for people, and translatable.
#pragma once

#include <QString>

enum class ChainStep
{
    SetText,
    Search,
    ExportMenu,
    CsvExport
};

namespace JiraStatus {

QString openingPage(bool loggingIn);
QString loginShown();
QString noAddress(const QString &siteKey);
QString stepRunning(ChainStep step);
QString missingElement(ChainStep step);
QString searched(const QString &start, const QString &end);
QString alreadyRunning();
QString waitingForJira();
QString searchUnfinished();
QString stopped();
QString windowClosed();
QString webPageInstead();
QString showingIssue(const QString &key);
QString noIssueAddress(const QString &key);

QString saved(qsizetype issues, const QString &path);
QString found(qsizetype issues, const QString &start, const QString &end);
// Appended when an export holds exactly as many issues as Jira puts in one export.
QString mayBeCutOff(qsizetype cap);
// While the pages of an export that Jira cut off come in: the issues of the page asked for.
QString fetchingIssues(qsizetype first, qsizetype last);
// A page after the first failed, so the whole export did.
QString pageFailed(int page, int httpStatus, const QString &reason);
QString pageNotAnExport(int page);
// Appended when the export stopped at its most pages.
QString pageLimitReached(int pages, qsizetype issues);
QString notWritten(const QString &reason);
QString noApplication(const QString &path);
QString noIssues(const QString &start, const QString &end);
QString steppingBack(const QString &start, const QString &end, int step, int bound);
QString gaveUp(const QString &start, const QString &end, int bound);
QString fetchFailed(int httpStatus, const QString &reason);

// The path with the home folder written as "~".
QString shownPath(const QString &path);

} // namespace JiraStatus
