#include "StandinIssues.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <QRegularExpression>
#include <QStringList>

namespace {

struct Issue
{
    const char *key;
    const char *summary;
    const char *type;
    const char *status;
    const char *assignee;
    const char *created; // yyyy-MM-dd HH:mm
    const char *resolved;
    const char *sprints[3];
};

// Creation days leave the four weeks before 2020-03-28 empty, so a search there finds nothing
// and stepping back two sprints of 14 days reaches issues again.
const Issue kIssues[] = {
    {"ABC-101",
     "Login page rejects valid passwords",
     "Bug",
     "Done",
     "teamlead7",
     "2020-01-06 09:15",
     "2020-01-09 16:40",
     {"ABC Sprint 1", "", ""}},
    {"ABC-102",
     "Add CSV export of the burndown",
     "Story",
     "Done",
     "dev.ana",
     "2020-01-14 11:02",
     "2020-01-27 10:00",
     {"ABC Sprint 1", "ABC Sprint 2", ""}},
    {"ABC-103",
     "Crash when the sprint, has no end date",
     "Bug",
     "Done",
     "dev.ben",
     "2020-01-29 14:30",
     "2020-02-03 09:45",
     {"ABC Sprint 2", "", ""}},
    {"ABC-104",
     "Document the \"skip\" option",
     "Task",
     "Done",
     "teamlead7",
     "2020-02-17 08:05",
     "2020-02-20 17:20",
     {"ABC Sprint 3", "", ""}},
    {"ABC-105",
     "Speed up the issue search",
     "Story",
     "Done",
     "dev.ana",
     "2020-02-21 13:45",
     "2020-03-02 12:10",
     {"ABC Sprint 3", "ABC Sprint 4", ""}},
    {"ABC-106",
     "Time zone shifts the created day",
     "Bug",
     "In Progress",
     "dev.ben",
     "2020-02-27 23:50",
     "",
     {"ABC Sprint 3", "ABC Sprint 4", "ABC Sprint 5"}},
    {"ABC-107",
     "Remember the last template",
     "Story",
     "Done",
     "dev.ana",
     "2020-04-02 10:30",
     "2020-04-09 15:00",
     {"ABC Sprint 6", "", ""}},
    {"ABC-108",
     "Keyboard shortcut for the export",
     "Task",
     "To Do",
     "teamlead7",
     "2020-04-08 16:20",
     "",
     {"ABC Sprint 6", "", ""}},
};

// Jira's own export names a column once per value it may hold, hence the repeated titles.
const char kHeader[] = "Summary,Issue key,Issue id,Issue Type,Status,Project key,Project name,"
                       "Priority,Assignee,Reporter,Created,Resolved,Updated,Due Date,Labels,"
                       "Sprint,Sprint,Sprint,Custom field (Story Points),Description";

QByteArray csvField(const QString &text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')))
        return text.toUtf8();
    QString quoted = text;
    quoted.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return "\"" + quoted.toUtf8() + "\"";
}

// Jira writes its dates the way its user interface shows them, e.g. "06/Jan/20 9:15 AM".
QString jiraDate(const char *text)
{
    const QDateTime instant =
        QDateTime::fromString(QString::fromLatin1(text), QStringLiteral("yyyy-MM-dd HH:mm"));
    if (!instant.isValid())
        return {};
    return QLocale::c().toString(instant, QStringLiteral("dd/MMM/yy h:mm AP"));
}

QByteArray csvLine(const Issue &issue, int index)
{
    const QString created = jiraDate(issue.created);
    const QStringList fields = {QString::fromUtf8(issue.summary),
                                QString::fromLatin1(issue.key),
                                QString::number(10100 + index),
                                QString::fromLatin1(issue.type),
                                QString::fromLatin1(issue.status),
                                QStringLiteral("ABC"),
                                QStringLiteral("Alpha Board"),
                                QStringLiteral("Medium"),
                                QString::fromLatin1(issue.assignee),
                                QStringLiteral("teamlead7"),
                                created,
                                jiraDate(issue.resolved),
                                created,
                                QString(),
                                QStringLiteral("metrics"),
                                QString::fromLatin1(issue.sprints[0]),
                                QString::fromLatin1(issue.sprints[1]),
                                QString::fromLatin1(issue.sprints[2]),
                                QString::number(index % 5 + 1),
                                QStringLiteral("Reported in the weekly review, see the board.")};
    QList<QByteArray> encoded;
    for (const QString &field : fields)
        encoded.append(csvField(field));
    return encoded.join(',') + "\r\n";
}

std::optional<QDate> boundAfter(const QString &query, const QString &comparison)
{
    const QRegularExpression pattern(
        QStringLiteral("\\bcreated\\s*%1\\s*[\"']?(\\d{4})[-/](\\d{2})[-/](\\d{2})")
            .arg(comparison),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = pattern.match(query);
    if (!match.hasMatch())
        return std::nullopt;
    const QDate day(match.captured(1).toInt(), match.captured(2).toInt(),
                    match.captured(3).toInt());
    return day.isValid() ? std::optional<QDate>(day) : std::nullopt;
}

bool withinRange(const Issue &issue, const StandinIssues::CreatedRange &range)
{
    const QDate day = QDate::fromString(QString::fromLatin1(issue.created).left(10), Qt::ISODate);
    return (!range.first || day >= *range.first) && (!range.second || day <= *range.second);
}

} // namespace

namespace StandinIssues {

CreatedRange createdRange(const QString &query)
{
    return {boundAfter(query, QStringLiteral(">=")), boundAfter(query, QStringLiteral("<="))};
}

QByteArray exportHeader()
{
    return QByteArray(kHeader);
}

QByteArray exportCsv(const QString &query, qsizetype maxIssues)
{
    const CreatedRange range = createdRange(query);
    QByteArray lines;
    int index = 0;
    qsizetype exported = 0;
    for (const Issue &issue : kIssues) {
        if (withinRange(issue, range) && exported < maxIssues) {
            lines += csvLine(issue, index);
            ++exported;
        }
        ++index;
    }
    return lines.isEmpty() ? QByteArray() : exportHeader() + "\r\n" + lines;
}

} // namespace StandinIssues

QByteArray StandinIssues::searchResultsJson(const QString &query)
{
    const CreatedRange range = createdRange(query);
    QJsonArray results;
    for (const Issue &issue : kIssues) {
        if (!withinRange(issue, range))
            continue;
        results.append(QJsonObject{{QStringLiteral("key"), QString::fromLatin1(issue.key)},
                                   {QStringLiteral("summary"), QString::fromUtf8(issue.summary)},
                                   {QStringLiteral("status"), QString::fromLatin1(issue.status)},
                                   {QStringLiteral("created"), jiraDate(issue.created)}});
    }
    return QJsonDocument(results).toJson(QJsonDocument::Compact);
}

std::optional<std::pair<QString, QString>> StandinIssues::summaryAndStatus(const QString &key)
{
    for (const Issue &issue : kIssues) {
        if (key == QLatin1String(issue.key))
            return std::pair(QString::fromUtf8(issue.summary), QString::fromLatin1(issue.status));
    }
    return std::nullopt;
}
