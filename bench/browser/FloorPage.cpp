#include "FloorPage.h"

FloorPage::FloorPage(QWebEngineProfile *profile, QObject *parent)
    : QWebEnginePage(profile, parent)
{
}

FloorPage::~FloorPage() = default;

bool FloorPage::acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame)
{
    if (type != NavigationTypeLinkClicked)
        return QWebEnginePage::acceptNavigationRequest(url, type, isMainFrame);
    Q_EMIT linkClicked(url);
    return false;
}
