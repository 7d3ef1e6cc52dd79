#include "JiraExportShape.h"

#include <QByteArrayList>

QByteArray jiraShapedHeader(qsizetype &createdIndex)
{
    QByteArrayList titles{"Summary",
                          "Issue key",
                          "Issue id",
                          "Parent id",
                          "Issue Type",
                          "Status",
                          "Project key",
                          "Project name",
                          "Project type",
                          "Project lead",
                          "Project url",
                          "Priority",
                          "Resolution",
                          "Assignee",
                          "Reporter",
                          "Creator",
                          "Watchers",
                          "Watchers",
                          "Watchers",
                          "Labels",
                          "Labels",
                          "Sprint",
                          "Sprint",
                          "Sprint",
                          "Component/s",
                          "Component/s",
                          "Fix Version/s",
                          "Affects Version/s",
                          "\"Custom field (Story Points)\"",
                          "Custom field (Created by)"};
    createdIndex = titles.size();
    titles << "Created"
           << "Updated"
           << "Last Viewed"
           << "Resolved"
           << "Due Date";
    for (int i = 0; titles.size() < 74; ++i)
        titles << "Custom field (Field " + QByteArray::number(i) + ")";
    titles << "Sprint"
           << "Created"
           << "Comment"
           << "Comment";
    return titles.join(',');
}
