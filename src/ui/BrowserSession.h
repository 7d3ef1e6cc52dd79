// The browser's process-wide session: one web profile for every browser window, and one network
// manager whose cookie jar mirrors the profile's cookies, so a fetch made outside the web view
// carries the cookies that the pages have set (HttpOnly ones included).
#pragma once

#include "FetchedResponse.h"

#include <QObject>
#include <QUrl>

class QNetworkAccessManager;
class QNetworkCookieJar;
class QWebEngineProfile;

class BrowserSession final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BrowserSession)

public:
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
