#include "StandinIssues.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <QRegularExpression>
#include <QStringList>

#include <algorithm>

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
    // As many as an issue has; Jira gives each its own column.
    QList<const char *> sprints;
    QList<const char *> labels;
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
     {"ABC Sprint 1"},
     {"metrics", "login", "security"}},
    {"ABC-102",
     "Add CSV export of the burndown",
     "Story",
     "Done",
     "dev.ana",
     "2020-01-14 11:02",
     "2020-01-27 10:00",
     {"ABC Sprint 1", "ABC Sprint 2"},
     {"metrics"}},
    {"ABC-103",
     "Crash when the sprint, has no end date",
     "Bug",
     "Done",
     "dev.ben",
     "2020-01-29 14:30",
     "2020-02-03 09:45",
     {"ABC Sprint 2"},
     {"metrics", "crash"}},
    {"ABC-104",
     "Document the \"skip\" option",
     "Task",
     "Done",
     "teamlead7",
     "2020-02-17 08:05",
     "2020-02-20 17:20",
     {"ABC Sprint 3"},
     {"docs"}},
    {"ABC-105",
     "Speed up the issue search",
     "Story",
     "Done",
     "dev.ana",
     "2020-02-21 13:45",
     "2020-03-02 12:10",
     {"ABC Sprint 3", "ABC Sprint 4"},
     {"metrics"}},
    {"ABC-106",
     "Time zone shifts the created day",
     "Bug",
     "In Progress",
     "dev.ben",
     "2020-02-27 23:50",
     "",
     {"ABC Sprint 3", "ABC Sprint 4", "ABC Sprint 5"},
     {"metrics", "timezone"}},
    {"ABC-107",
     "Remember the last template",
     "Story",
     "Done",
     "dev.ana",
     "2020-04-02 10:30",
     "2020-04-09 15:00",
     {"ABC Sprint 6"},
     {}},
    {"ABC-108",
     "Keyboard shortcut for the export",
     "Task",
     "To Do",
     "teamlead7",
     "2020-04-08 16:20",
     "",
     {"ABC Sprint 6"},
     {"metrics", "keyboard"}},
};

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

QStringList texts(const QList<const char *> &values)
{
    QStringList list;
    for (const char *value : values)
        list.append(QString::fromLatin1(value));
    return list;
}

StandinIssues::ExportedIssue exportedIssue(const Issue &issue, int index)
{
    const QString created = jiraDate(issue.created);
    const auto one = [](const QString &value) { return QStringList{value}; };
    return {{"Summary", one(QString::fromUtf8(issue.summary))},
            {"Issue key", one(QString::fromLatin1(issue.key))},
            {"Issue id", one(QString::number(10100 + index))},
            {"Issue Type", one(QString::fromLatin1(issue.type))},
            {"Status", one(QString::fromLatin1(issue.status))},
            {"Project key", one(QStringLiteral("ABC"))},
            {"Project name", one(QStringLiteral("Alpha Board"))},
            {"Priority", one(QStringLiteral("Medium"))},
            {"Assignee", one(QString::fromLatin1(issue.assignee))},
            {"Reporter", one(QStringLiteral("teamlead7"))},
            {"Created", one(created)},
            {"Resolved", one(jiraDate(issue.resolved))},
            {"Updated", one(created)},
            {"Due Date", one(QString())},
            {"Labels", texts(issue.labels)},
            {"Sprint", texts(issue.sprints)},
            {"Custom field (Story Points)", one(QString::number(index % 5 + 1))},
            {"Description", one(QStringLiteral("Reported in the weekly review, see the board."))}};
}

// Jira's own export names a column once per value it may hold: a title stands as often as the
// issue of the export with the most values for it needs, and at least once.
QList<qsizetype> columnCounts(const QList<StandinIssues::ExportedIssue> &issues)
{
    QList<qsizetype> counts(issues.constFirst().size(), 1);
    for (const StandinIssues::ExportedIssue &issue : issues) {
        for (qsizetype i = 0; i < issue.size(); ++i)
            counts[i] = std::max(counts[i], issue[i].second.size());
    }
    return counts;
}

QByteArray csvHeader(const StandinIssues::ExportedIssue &issue, const QList<qsizetype> &counts)
{
    QByteArrayList titles;
    for (qsizetype i = 0; i < issue.size(); ++i) {
        for (qsizetype n = 0; n < counts[i]; ++n)
            titles.append(issue[i].first);
    }
    return titles.join(',') + "\r\n";
}

QByteArray csvLine(const StandinIssues::ExportedIssue &issue, const QList<qsizetype> &counts)
{
    QByteArrayList fields;
    for (qsizetype i = 0; i < issue.size(); ++i) {
        for (qsizetype n = 0; n < counts[i]; ++n)
            fields.append(csvField(issue[i].second.value(n)));
    }
    return fields.join(',') + "\r\n";
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

QList<ExportedIssue> exportedIssues(const QString &query)
{
    const CreatedRange range = createdRange(query);
    QList<ExportedIssue> issues;
    int index = 0;
    for (const Issue &issue : kIssues) {
        if (withinRange(issue, range))
            issues.append(exportedIssue(issue, index));
        ++index;
    }
    return issues;
}

QByteArray exportCsv(const QString &query, qsizetype start, qsizetype maxIssues)
{
    const QList<ExportedIssue> page =
        exportedIssues(query).mid(start, std::max<qsizetype>(maxIssues, 0));
    if (page.isEmpty())
        return {};
    const QList<qsizetype> counts = columnCounts(page);
    QByteArray csv = csvHeader(page.constFirst(), counts);
    for (const ExportedIssue &issue : page)
        csv += csvLine(issue, counts);
    return csv;
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
