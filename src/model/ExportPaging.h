// An export that Jira cut off at its "tempMax", fetched a page at a time: the address of each next
// page, when to stop asking, and the pages joined into one export at the end.
#pragma once

#include <QByteArray>
#include <QList>
#include <QUrl>

class ExportPaging
{
public:
    // About 50,000 issues at Jira's usual 1,000 a page; an export that large is better split by
    // its query than fetched for minutes.
    static constexpr int kMostPages = 50;

    enum class Next
    {
        FetchPage,
        // The page was short or empty: every issue is there.
        Complete,
        // The page was the one before again: the server does not page its exports.
        RepeatedPage,
        PageLimitReached
    };

    // The first page, fetched from address, holds pageSize issues.
    ExportPaging(const QUrl &address, qsizetype pageSize, const QByteArray &firstPage);

    Next add(const QByteArray &page);

    // The page asked for next, counted from 1, and where to ask for it: the first page's address
    // with "pager/start" at the number of issues fetched so far.
    int nextPageNumber() const { return static_cast<int>(mPages.size()) + 1; }
    QUrl nextPageAddress() const;
    qsizetype issuesFetched() const { return mIssues; }
    qsizetype pageSize() const { return mPageSize; }

    // The pages as one export; the pages are let go.
    QByteArray takeMerged();

private:
    QUrl mAddress;
    qsizetype mPageSize;
    QList<QByteArray> mPages;
    qsizetype mIssues;
};
