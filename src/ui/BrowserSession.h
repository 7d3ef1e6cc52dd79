// The browser's process-wide session: one web profile for every browser window, and one network
// manager whose cookie jar mirrors the profile's cookies, so a fetch made outside the web view
// carries the cookies that the pages have set (HttpOnly ones included).
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QUrl>

#include <functional>

class QNetworkAccessManager;
class QNetworkCookieJar;
class QWebEngineProfile;

// What a fetch brought back.
struct FetchedResponse
{
    // The body arrived with a status below 400.
    bool ok = false;
    QByteArray body;
    // The server answered with a web page (HTML or XHTML), not a file.
    bool isWebPage = false;
    // For a failure: the HTTP status (0 when the server gave none) and what went wrong.
    int httpStatus = 0;
    QString error;
};

class BrowserSession final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BrowserSession)

public:
    using FetchCompletion = std::function<void(const FetchedResponse &response)>;

    // The session of this application, created on first use and owned by the application object.
    static BrowserSession &instance();
    // Ends every fetch still running, as failed ones, when there is a session; for quitting,
    // before the application object takes the network down under them.
    static void abortFetches();

    QWebEngineProfile *profile() const { return mProfile; }
    QNetworkCookieJar *cookieJar() const;

    // Fetches the address with the mirrored cookies. The outcome goes to the completion, on the
    // main thread, as long as context lives: the body (possibly empty), or a failure (no answer,
    // an HTTP error status, no data for the transfer timeout, an abort), which is also logged.
    // Either way the count of bytes received is logged first.
    void fetch(const QUrl &address, QObject *context, FetchCompletion completion);

private:
    explicit BrowserSession(QObject *parent);
    ~BrowserSession() override;

    QWebEngineProfile *mProfile;
    QNetworkAccessManager *mNetwork;
};
