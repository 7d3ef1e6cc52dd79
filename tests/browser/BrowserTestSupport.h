// Helpers for driving the real browser window against the in-process stand-in Jira.
#pragma once

#include "BrevantModel.h"
#include "BrowserWindow.h"
#include "LogCapture.h"
#include "ModelFakes.h"
#include "StandinServer.h"
#include "TemporaryHome.h"
#include "WebBrowserWindowFactory.h"
#include "WebViewWC.h"

#include <QPointer>
#include <QString>
#include <QVariant>

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

// What a browser test stands on: a throwaway home, the stand-in listening, the fakes, and per
// test a fresh model whose browser windows are real and a fresh log capture.
class BrowserFixture
{
protected:
    bool isReady();
    void startModel();
    // Points the model's login, search and export commands at the stand-in.
    void useStandinSites();
    // Lets the model go, waits for its window to be gone and forgets the session's cookies.
    void stopModel();

    TemporaryHome mHome;
    StandinServer mServer;
    FakeClipboard mClipboard;
    FakeWorkspace mWorkspace;
    FakeBeeper mBeeper;
    RecordingWindowFactory mFactory;
    std::unique_ptr<BrevantModel> mModel;
    std::unique_ptr<LogCapture> mLog;
};

// Runs a script in the window's page and waits for its outcome.
ScriptOutcome runScriptSync(WebViewWC &window, const QString &script);

// Fills in and sends the login form of the page on show, as a user would.
void submitLoginForm(WebViewWC &window, const QString &userName);

// The generous wait for anything the web engine does.
inline constexpr int kBrowserTimeoutMs = 30000;
