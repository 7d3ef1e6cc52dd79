#include "ExportPaging.h"

#include "ExportMerge.h"
#include "ExportRecords.h"

#include <QStringList>

#include <utility>

namespace {

const QString kPageStart = QStringLiteral("pager/start");

// The address with "pager/start" set. The rest of the query stays as Jira encoded it, so that the
// query and every other parameter reach it unchanged.
QUrl withPageStart(const QUrl &address, qsizetype start)
{
    QStringList items;
    const QStringList query =
        address.query(QUrl::FullyEncoded).split(QLatin1Char('&'), Qt::SkipEmptyParts);
    for (const QString &item : query) {
        if (QUrl::fromPercentEncoding(item.section(QLatin1Char('='), 0, 0).toUtf8()) != kPageStart)
            items.append(item);
    }
    items.append(kPageStart + QLatin1Char('=') + QString::number(start));
    QUrl next = address;
    next.setQuery(items.join(QLatin1Char('&')));
    return next;
}

} // namespace

ExportPaging::ExportPaging(const QUrl &address, qsizetype pageSize, const QByteArray &firstPage)
    : mAddress(address)
    , mPageSize(pageSize)
    , mPages{firstPage} // Paging starts at a full page.
    , mIssues(pageSize)
{
}

ExportPaging::Next ExportPaging::add(const QByteArray &page)
{
    if (page == mPages.constLast())
        return Next::RepeatedPage;
    const qsizetype issues = ExportRecords::issueCount(page);
    if (issues == 0)
        return Next::Complete;
    mPages.append(page);
    mIssues += issues;
    if (issues < mPageSize)
        return Next::Complete;
    return mPages.size() < kMostPages ? Next::FetchPage : Next::PageLimitReached;
}

QUrl ExportPaging::nextPageAddress() const
{
    return withPageStart(mAddress, mIssues);
}

QByteArray ExportPaging::takeMerged()
{
    return ExportMerge::merged(std::exchange(mPages, {}));
}
