#include "BrowserTestSupport.h"

#include "BrowserSession.h"

#include <QNetworkCookieJar>
#include <QSignalSpy>
#include <QTest>
#include <QWebEngineCookieStore>
#include <QWebEngineProfile>

#include <optional>

std::unique_ptr<BrowserWindow> RecordingWindowFactory::createBrowserWindow(BrevantModel &model)
{
    auto made = mFactory.createBrowserWindow(model);
    window = dynamic_cast<WebViewWC *>(made.get());
    ++created;
    return made;
}

ScriptOutcome runScriptSync(WebViewWC &window, const QString &script)
{
    std::optional<ScriptOutcome> outcome;
    window.runScript(script, [&outcome](const ScriptOutcome &result) { outcome = result; });
    if (!QTest::qWaitFor([&outcome] { return outcome.has_value(); }, kBrowserTimeoutMs))
        return {true, {}, QStringLiteral("no answer from the page")};
    return *outcome;
}

void submitLoginForm(WebViewWC &window, const QString &userName)
{
    const ScriptOutcome outcome = runScriptSync(
        window, QStringLiteral("document.querySelector('input[name=os_username]').value = '%1';"
                               "document.querySelector('form').submit();")
                    .arg(userName));
    QVERIFY2(!outcome.failed, qPrintable(outcome.error));
}

void forgetCookies(const QUrl &address)
{
    BrowserSession::instance().profile()->cookieStore()->deleteAllCookies();
    QTRY_VERIFY(BrowserSession::instance().cookieJar()->cookiesForUrl(address).isEmpty());
}
