#include "WebPage.h"

#include "Log.h"

#include <QUuid>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>

namespace {

// The engine calls a page script's assignment of location a clicked link as well. To tell them
// apart, a script in an isolated world reports every click that reaches a link, real or
// dispatched, before the engine asks about the navigation. The page cannot see that world, and
// the marker is new for every page, so the page cannot forge such a report. A click that the page
// cancels navigates nowhere, so its report is withdrawn once the click has run its course: left
// standing, it would catch a later script navigation to the same address.
constexpr QChar kClicked = u'+';
constexpr QChar kWithdrawn = u'-';

QString clickRecorder(const QString &marker)
{
    return QStringLiteral(R"((function () {
    const marker = %1;
    window.addEventListener('click', function (event) {
        const target = event.target;
        const link = target && target.closest ? target.closest('a[href], area[href]') : null;
        if (!link)
            return;
        const address = link.href;
        console.log(marker + '%2' + address);
        setTimeout(function () {
            if (event.defaultPrevented)
                console.log(marker + '%3' + address);
        }, 0);
    }, true);
})();)")
        .arg(QLatin1Char('\'') + marker + QLatin1Char('\''), QString(kClicked),
             QString(kWithdrawn));
}

QUrl normalized(const QUrl &url)
{
    return url.adjusted(QUrl::NormalizePathSegments | QUrl::RemoveFragment);
}

} // namespace

WebPage::WebPage(QWebEngineProfile *profile, QObject *parent)
    : QWebEnginePage(profile, parent)
    , mClickMarker(QStringLiteral("brevant-link-click:") +
                   QUuid::createUuid().toString(QUuid::Id128) + QLatin1Char(':'))
{
    QWebEngineScript recorder;
    recorder.setName(QStringLiteral("brevant-click-recorder"));
    recorder.setInjectionPoint(QWebEngineScript::DocumentCreation);
    recorder.setWorldId(QWebEngineScript::ApplicationWorld);
    recorder.setRunsOnSubFrames(true);
    recorder.setSourceCode(clickRecorder(mClickMarker));
    scripts().insert(recorder);
}

WebPage::~WebPage() = default;

void WebPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString &message,
                                       int lineNumber, const QString &sourceID)
{
    if (message.startsWith(mClickMarker) && message.size() > mClickMarker.size()) {
        const QChar kind = message.at(mClickMarker.size());
        const QUrl link = normalized(QUrl(message.mid(mClickMarker.size() + 1)));
        if (kind == kClicked)
            mClickedLinks.append(link);
        else if (kind == kWithdrawn)
            mClickedLinks.removeOne(link);
        return;
    }
    QWebEnginePage::javaScriptConsoleMessage(level, message, lineNumber, sourceID);
}

bool WebPage::acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame)
{
    if (type != NavigationTypeLinkClicked)
        return QWebEnginePage::acceptNavigationRequest(url, type, isMainFrame);
    const qsizetype clicked = mClickedLinks.indexOf(normalized(url));
    if (clicked < 0)
        return true;
    // A click whose page script cancelled it leaves its report behind; only the newest counts.
    mClickedLinks.clear();
    logLine(QStringLiteral("externalURL is ") % url.toString());
    Q_EMIT linkIntercepted(url);
    return false;
}
