// An export that Jira cut off at its "tempMax": the rest is fetched page by page with the same
// session, and the pages are saved as one export, or not at all.
#include "BrevantModel.h"
#include "BrowserWindow.h"
#include "JiraStatus.h"
#include "Log.h"

void BrevantModel::startPaging(const QByteArray &firstPage, const QUrl &address, qsizetype pageSize)
{
    mPaging.emplace(address, pageSize, firstPage);
    // A page still on its way for an export before this one is stale now.
    ++mChain;
    // A link the user clicked may start it outside a command; Stop ends it all the same.
    setJiraBusy(true);
    fetchNextExportPage();
}

void BrevantModel::fetchNextExportPage()
{
    if (!mWebViewWC) {
        failPaging(JiraStatus::windowClosed());
        return;
    }
    const QUrl address = mPaging->nextPageAddress();
    logLine(QStringLiteral("Export page %1 is %2")
                .arg(QString::number(mPaging->nextPageNumber()), address.toString()));
    const qsizetype fetched = mPaging->issuesFetched();
    postStatus(JiraStatus::fetchingIssues(fetched + 1, fetched + mPaging->pageSize()));
    mWebViewWC->fetchExportPage(address, [this, chain = mChain](const FetchedResponse &response) {
        // A stop, or a page load that started the chain over, has let the pages go.
        if (chain == mChain)
            exportPageArrived(response);
    });
}

void BrevantModel::exportPageArrived(const FetchedResponse &response)
{
    const int page = mPaging->nextPageNumber();
    if (!response.ok) {
        failPaging(JiraStatus::pageFailed(page, response.httpStatus, response.error));
        return;
    }
    if (response.isWebPage) {
        failPaging(JiraStatus::pageNotAnExport(page));
        return;
    }
    switch (mPaging->add(response.body)) {
    case ExportPaging::Next::FetchPage:
        fetchNextExportPage();
        return;
    case ExportPaging::Next::Complete:
        saveMergedExport({});
        return;
    case ExportPaging::Next::RepeatedPage:
        logLine(QStringLiteral("Export page %1 repeats the page before; Jira does not page its "
                               "exports")
                    .arg(page));
        saveMergedExport(JiraStatus::mayBeCutOff(mPaging->pageSize()));
        return;
    case ExportPaging::Next::PageLimitReached:
        logLine(QStringLiteral("The export stopped at its limit of %1 pages")
                    .arg(ExportPaging::kMostPages));
        saveMergedExport(
            JiraStatus::pageLimitReached(ExportPaging::kMostPages, mPaging->issuesFetched()));
        return;
    }
}

void BrevantModel::failPaging(const QString &status)
{
    logLine(QStringLiteral("The export failed at page %1; nothing was saved")
                .arg(mPaging->nextPageNumber()));
    finishChain(status);
}

void BrevantModel::saveMergedExport(const QString &note)
{
    const qsizetype pages = mPaging->nextPageNumber() - 1;
    const QByteArray merged = mPaging->takeMerged();
    mPaging.reset();
    logLine(QStringLiteral("Merged %1 export pages into %2 bytes")
                .arg(QString::number(pages), QString::number(merged.size())));
    // Saved as a single export is, and reported when saved.
    storeAndHandle(merged, true, note, mStops);
}
