#include "BrowserSession.h"

#include "Log.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkCookie>
#include <QNetworkCookieJar>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QWebEngineCookieStore>
#include <QWebEngineProfile>

namespace {

// An export of a large search can take a while; a server that sends nothing for this long is
// taken as gone.
constexpr int kTransferTimeoutMs = 2 * 60 * 1000;

int httpStatus(const QNetworkReply &reply)
{
    return reply.attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
}

// What went wrong, as one line: the address, the description and the status when there is one.
QString failureDescription(const QNetworkReply &reply)
{
    QJsonObject info{{QStringLiteral("url"), reply.url().toString()},
                     {QStringLiteral("description"), reply.errorString()}};
    if (const int status = httpStatus(reply); status != 0)
        info.insert(QStringLiteral("status"), status);
    return QString::fromUtf8(QJsonDocument(info).toJson(QJsonDocument::Compact));
}

bool failed(const QNetworkReply &reply)
{
    // An error page of the server is no export: Qt flags most statuses as errors, not all.
    return reply.error() != QNetworkReply::NoError || httpStatus(reply) >= 400;
}

// A page for the browser rather than a file to keep, by the type the server gave it.
bool isWebPage(const QNetworkReply &reply)
{
    const QByteArray type = reply.header(QNetworkRequest::ContentTypeHeader)
                                .toByteArray()
                                .split(';')
                                .constFirst()
                                .trimmed()
                                .toLower();
    return type == "text/html" || type == "application/xhtml+xml";
}

void mirrorCookies(QWebEngineCookieStore *store, QNetworkCookieJar *jar)
{
    QObject::connect(store, &QWebEngineCookieStore::cookieAdded, jar,
                     // Replaces a cookie of the same name, domain and path.
                     [jar](const QNetworkCookie &cookie) { jar->insertCookie(cookie); });
    QObject::connect(store, &QWebEngineCookieStore::cookieRemoved, jar,
                     [jar](const QNetworkCookie &cookie) { jar->deleteCookie(cookie); });
    store->loadAllCookies();
}

// Owned by the application so that the profile goes before the web engine shuts down.
QPointer<BrowserSession> theSession;

} // namespace

BrowserSession &BrowserSession::instance()
{
    if (!theSession)
        theSession = new BrowserSession(QCoreApplication::instance());
    return *theSession;
}

void BrowserSession::abortFetches()
{
    if (!theSession)
        return;
    const QList<QNetworkReply *> running = theSession->mNetwork->findChildren<QNetworkReply *>();
    for (QNetworkReply *reply : running)
        reply->abort();
}

BrowserSession::BrowserSession(QObject *parent)
    : QObject(parent)
    // Without a storage name the profile keeps everything in memory: the program writes no files
    // besides its own.
    , mProfile(new QWebEngineProfile(this))
    , mNetwork(new QNetworkAccessManager(this))
{
    mNetwork->setCookieJar(new QNetworkCookieJar(mNetwork));
    mirrorCookies(mProfile->cookieStore(), mNetwork->cookieJar());
}

BrowserSession::~BrowserSession() = default;

QNetworkCookieJar *BrowserSession::cookieJar() const
{
    return mNetwork->cookieJar();
}

void BrowserSession::fetch(const QUrl &address, QObject *context, FetchCompletion completion)
{
    QNetworkRequest request(address);
    // Some sign-on setups tie a session to the browser that opened it; the fetch carries the
    // page's cookies, so it introduces itself as the page's browser too.
    request.setHeader(QNetworkRequest::UserAgentHeader, mProfile->httpUserAgent());
    request.setTransferTimeout(kTransferTimeoutMs);
    QNetworkReply *reply = mNetwork->get(request);
    connect(reply, &QNetworkReply::finished, context, [reply, completion = std::move(completion)] {
        reply->deleteLater();
        const QByteArray body = reply->readAll();
        logLine(QStringLiteral("Completion handler called with %1 data bytes").arg(body.size()));
        if (failed(*reply)) {
            logLine(QStringLiteral("Error retrieving requested URL: ") %
                    failureDescription(*reply));
            completion({false, {}, false, httpStatus(*reply), reply->errorString()});
            return;
        }
        completion({true, body, isWebPage(*reply), httpStatus(*reply), {}});
    });
}
