#include "FloorChain.h"

#include "FloorPage.h"
#include "JiraScripts.h"
#include "PageWaits.h"

#include <QFile>
#include <QNetworkCookieJar>
#include <QNetworkReply>
#include <QTimer>
#include <QWebEngineCookieStore>

using namespace std::chrono_literals;
using Moment = ExportMoments::Moment;

FloorChain::FloorChain(ExportMoments &moments, const QString &queryText, const QString &csvPath)
    : mMoments(moments)
    , mCsvPath(csvPath)
    , mSteps{{300ms, JiraScripts::setSearchText(queryText)},
             {200ms, JiraScripts::pressSearch()},
             {200ms, JiraScripts::openExportMenu()},
             {500ms, JiraScripts::clickCsvExport()}}
    , mPage(new FloorPage(&mProfile, &mView))
{
    QNetworkCookieJar *jar = mNetwork.cookieJar();
    connect(mProfile.cookieStore(), &QWebEngineCookieStore::cookieAdded, jar,
            [jar](const QNetworkCookie &cookie) { jar->insertCookie(cookie); });
    connect(mPage, &QWebEnginePage::loadFinished, this, &FloorChain::pageDidLoad);
    connect(mPage, &FloorPage::linkClicked, this, &FloorChain::fetch);
    mView.setPage(mPage);
    // Shown at about the size of the program's browser view: the page is painted while the chain
    // runs, as the program's is.
    mView.resize(1100, 720);
    mView.show();
}

FloorChain::~FloorChain() = default;

bool FloorChain::logIn(const QUrl &loginPage)
{
    mPage->load(loginPage);
    return PageWaits::logInOnceLoaded(*mPage);
}

void FloorChain::exportFrom(const QUrl &searchPage)
{
    mExporting = true;
    mPage->load(searchPage);
}

void FloorChain::runScript(const QString &script, std::function<void()> answered)
{
    mPage->runJavaScript(script, [answered](const QVariant &) { answered(); });
}

void FloorChain::pageDidLoad(bool ok)
{
    if (!ok || !mExporting)
        return;
    mMoments.mark(Moment::PageLoaded);
    runStep(0);
}

void FloorChain::runStep(std::size_t index)
{
    if (index == mSteps.size())
        return;
    QTimer::singleShot(mSteps[index].delay, Qt::PreciseTimer, this, [this, index] {
        mPage->runJavaScript(mSteps[index].script,
                             [this, index](const QVariant &) { runStep(index + 1); });
    });
}

void FloorChain::fetch(const QUrl &address)
{
    mMoments.mark(Moment::LinkIntercepted);
    QNetworkReply *reply = mNetwork.get(QNetworkRequest(address));
    connect(reply, &QNetworkReply::finished, this, [this, reply] { store(reply); });
}

void FloorChain::store(QNetworkReply *reply)
{
    reply->deleteLater();
    if (reply->error() != QNetworkReply::NoError)
        return;
    const QByteArray body = reply->readAll();
    mMoments.mark(Moment::BytesArrived);
    QFile file(mCsvPath);
    if (file.open(QIODevice::WriteOnly) && file.write(body) == body.size()) {
        file.close();
        mMoments.mark(Moment::FileWritten);
    }
}
