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

#include <functional>

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
    // A query of the stand-in's project by creation day, for the sprint of 2020-02-15 to
    // 2020-02-28, which holds ABC-104, ABC-105 and ABC-106.
    void useStandinSprint();
    // Presses Log In as press does, then signs in on the page that opens, as a user would; done
    // once the page after the login form has loaded.
    void signIn(const std::function<void()> &press);
    // Lets the model go, waits for its window to be gone and forgets the session's cookies.
    void stopModel();
    // Where the model saves exports in the throwaway home.
    QString exportPath() const;
    // A page script failed (its two log lines), and no export was asked of the stand-in since
    // exportsBefore, nor saved.
    void verifyFailedStepFetchedNothing(int exportsBefore);

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

// The file's bytes; none when it cannot be read.
QByteArray fileContents(const QString &path);

// Fills in and sends the login form of the page on show, as a user would.
void submitLoginForm(WebViewWC &window, const QString &userName);

// The generous wait for anything the web engine does.
inline constexpr int kBrowserTimeoutMs = 30000;
