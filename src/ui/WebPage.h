// The browser window's page: lets every navigation through except clicks on links, which it
// reports instead of following.
#pragma once

#include <QStringList>
#include <QUrl>
#include <QWebEnginePage>

class WebPage final : public QWebEnginePage
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(WebPage)

public:
    WebPage(QWebEngineProfile *profile, QObject *parent);
    ~WebPage() override;

Q_SIGNALS:
    // A clicked link whose navigation was cancelled; its target is for the caller to fetch.
    void linkIntercepted(const QUrl &address);

protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame) override;
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString &message,
                                  int lineNumber, const QString &sourceID) override;

private:
    QString mClickMarker;
    QList<QUrl> mClickedLinks;
};
