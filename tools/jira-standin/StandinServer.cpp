#include "StandinServer.h"

#include "StandinIssues.h"
#include "StandinPages.h"

#include <QHostAddress>
#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QHttpServerResponse>
#include <QNetworkCookie>
#include <QUrlQuery>
#include <QUuid>

#include <algorithm>

namespace {

const QByteArray kSessionCookie = "JSESSIONID";
const QByteArray kHtml = "text/html; charset=utf-8";

QHttpServerResponse html(const QByteArray &body)
{
    return QHttpServerResponse(kHtml, body);
}

QHttpServerResponse redirect(const QByteArray &location, const QByteArray &cookie)
{
    QHttpServerResponse response(QHttpServerResponse::StatusCode::SeeOther);
    response.setHeader("Location", location);
    response.setHeader("Set-Cookie", cookie);
    return response;
}

QByteArray headerValue(const QHttpServerRequest &request, const QByteArray &name)
{
    for (const auto &[key, value] : request.headers()) {
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    }
    return {};
}

QString queryItem(const QUrlQuery &query, const QString &key)
{
    return query.queryItemValue(key, QUrl::FullyDecoded);
}

QString formField(const QHttpServerRequest &request, const QString &key)
{
    // Form bodies encode blanks as '+', which QUrlQuery leaves alone.
    QByteArray body = request.body();
    body.replace('+', ' ');
    return queryItem(QUrlQuery(QString::fromUtf8(body)), key);
}

} // namespace

StandinServer::StandinServer(QObject *parent)
    : QObject(parent)
{
    addRoutes();
}

StandinServer::~StandinServer() = default;

quint16 StandinServer::listen(quint16 port)
{
    mPort = mServer.listen(QHostAddress::LocalHost, port);
    return mPort;
}

QUrl StandinServer::address(const QString &path) const
{
    QUrl url;
    url.setScheme(QStringLiteral("http"));
    url.setHost(QStringLiteral("127.0.0.1"));
    url.setPort(mPort);
    url.setPath(path);
    return url;
}

QUrl StandinServer::exportURL(const QString &query) const
{
    QUrl url = address(QString::fromLatin1(StandinPages::kExportPath));
    url.setQuery(QStringLiteral("jqlQuery=") + QString::fromLatin1(QUrl::toPercentEncoding(query)) +
                 QStringLiteral("&tempMax=") + QString::number(mExportCap));
    return url;
}

void StandinServer::addRoutes()
{
    mServer.route("/login.jsp", QHttpServerRequest::Method::Get,
                  [] { return html(StandinPages::loginPage({})); });
    mServer.route("/login.jsp", QHttpServerRequest::Method::Post,
                  [this](const QHttpServerRequest &request) { return logIn(request); });
    mServer.route("/logout", [this] {
        // An expired cookie of the same name takes the session out of the browser's store.
        return redirect("/login.jsp", kSessionCookie + "=; Max-Age=0; Path=/; HttpOnly");
    });
    mServer.route("/issues/",
                  [this] { return html(StandinPages::searchPage(mTiming, mExportCap)); });
    mServer.route("/secure/Dashboard.jspa",
                  [] { return html(StandinPages::pageWithoutNavigator()); });
    mServer.route("/browse/", [](const QString &key) {
        const auto issue = StandinIssues::summaryAndStatus(key);
        if (!issue)
            return QHttpServerResponse(kHtml, StandinPages::pageWithoutNavigator(),
                                       QHttpServerResponse::StatusCode::NotFound);
        return html(StandinPages::issuePage(key, issue->first, issue->second));
    });
    mServer.route("/rest/api/2/search", [](const QHttpServerRequest &request) {
        const QString query = queryItem(request.query(), QStringLiteral("jql"));
        return QHttpServerResponse("application/json", StandinIssues::searchResultsJson(query));
    });
    // Any answer a server may give instead of an export, for trying how a client takes it.
    mServer.route("/status/", [](int status) {
        return QHttpServerResponse("text/plain", "Status page\n",
                                   static_cast<QHttpServerResponse::StatusCode>(status));
    });
    mServer.route(QString::fromLatin1(StandinPages::kExportPath),
                  [this](const QHttpServerRequest &request, QHttpServerResponder &&responder) {
                      // A held export is answered never: a fetch that is still in flight.
                      if (mExportsHeld)
                          mHeldExports.push_back(std::move(responder));
                      else
                          answerExport(request).write(std::move(responder));
                  });
}

QHttpServerResponse StandinServer::logIn(const QHttpServerRequest &request)
{
    if (formField(request, QStringLiteral("os_username")).trimmed().isEmpty())
        return html(StandinPages::loginPage(QStringLiteral("Please enter a user name.")));
    const QByteArray session = QUuid::createUuid().toByteArray(QUuid::Id128);
    mSessions.insert(session);
    return redirect("/issues/", kSessionCookie + "=" + session + "; Path=/; HttpOnly");
}

bool StandinServer::hasSession(const QHttpServerRequest &request) const
{
    const QByteArray header = headerValue(request, "Cookie");
    for (const QByteArray &pair : header.split(';')) {
        const QList<QNetworkCookie> cookies = QNetworkCookie::parseCookies(pair.trimmed());
        for (const QNetworkCookie &cookie : cookies) {
            if (cookie.name() == kSessionCookie && mSessions.contains(cookie.value()))
                return true;
        }
    }
    return false;
}

QHttpServerResponse StandinServer::answerExport(const QHttpServerRequest &request)
{
    ++mExportRequests;
    mLastExport.query = queryItem(request.query(), QStringLiteral("jqlQuery"));
    mLastExport.userAgent = headerValue(request, "User-Agent");
    if (!hasSession(request))
        return refuseExport(QHttpServerResponse::StatusCode::Unauthorized,
                            "You are not logged in.\n");
    bool capped = false;
    const qsizetype tempMax =
        queryItem(request.query(), QStringLiteral("tempMax")).toLongLong(&capped);
    const qsizetype pageSize = capped && tempMax > 0 ? tempMax : 1000;
    mLastExport.pageStart = std::max<qsizetype>(
        queryItem(request.query(), QStringLiteral("pager/start")).toLongLong(), 0);
    if (mFailingPage > 0 && mLastExport.pageStart / pageSize + 1 == mFailingPage)
        return refuseExport(QHttpServerResponse::StatusCode::InternalServerError,
                            "The export of this page failed.\n");
    mLastExport.status = 200;
    mLastExport.body = StandinIssues::exportCsv(mLastExport.query, mLastExport.pageStart, pageSize);
    Q_EMIT exportAnswered();
    return QHttpServerResponse("text/csv; charset=utf-8", mLastExport.body);
}

QHttpServerResponse StandinServer::refuseExport(QHttpServerResponse::StatusCode status,
                                                const QByteArray &message)
{
    mLastExport.status = static_cast<int>(status);
    mLastExport.body.clear();
    Q_EMIT exportAnswered();
    return QHttpServerResponse("text/plain", message, status);
}
