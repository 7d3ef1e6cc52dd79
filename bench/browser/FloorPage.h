// The least link interception the web engine allows: every clicked link is cancelled and handed
// on, whatever dispatched the click.
#pragma once

#include <QUrl>
#include <QWebEnginePage>

class FloorPage final : public QWebEnginePage
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FloorPage)

public:
    FloorPage(QWebEngineProfile *profile, QObject *parent);
    ~FloorPage() override;

Q_SIGNALS:
    void linkClicked(const QUrl &address);

protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame) override;
};
