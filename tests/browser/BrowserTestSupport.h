// Helpers for driving the real browser window against the in-process stand-in Jira.
#pragma once

#include "BrowserWindow.h"
#include "WebBrowserWindowFactory.h"
#include "WebViewWC.h"

#include <QPointer>
#include <QString>
#include <QVariant>

class StandinServer;

// Makes real windows and keeps hold of the newest, so a test can act in its page like a user.
class RecordingWindowFactory final : public BrowserWindowFactory
{
public:
    std::unique_ptr<BrowserWindow> createBrowserWindow(BrevantModel &model) override;
    QPointer<WebViewWC> window;
    int created = 0;

private:
    WebBrowserWindowFactory mFactory;
};

// Runs a script in the window's page and waits for its outcome.
ScriptOutcome runScriptSync(WebViewWC &window, const QString &script);

// Fills in and sends the login form of the page on show, as a user would.
void submitLoginForm(WebViewWC &window, const QString &userName);

// Empties the browser session's cookie store and waits until the fetch no longer has them.
void forgetCookies(const QUrl &address);

// The generous wait for anything the web engine does.
inline constexpr int kBrowserTimeoutMs = 30000;
