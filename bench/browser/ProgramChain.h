// The program's export chain as a user starts it: its model with real browser windows under its
// main window, whose Export CSV button is clicked. Its moments come from its own diagnostic lines.
#pragma once

#include "BrevantModel.h"
#include "BrowserTestSupport.h"
#include "ExportMoments.h"
#include "ModelFakes.h"
#include "ProgramLogHook.h"

#include <functional>
#include <memory>

class BrevantWC;
class StandinServer;

class ProgramChain
{
public:
    ProgramChain(ExportMoments &moments, const StandinServer &server);
    ~ProgramChain();
    Q_DISABLE_COPY_MOVE(ProgramChain)

    // Clicks Log In and sends the login form of the page that opens.
    bool logIn();
    void pressExportCSV();
    QString queryText() const;
    // Runs a script in the browser window's page the program's way; answered runs on its answer.
    void runScript(const QString &script, std::function<void()> answered);
    WebViewWC *browserWindow() const { return mWindows.window; }

private:
    void clickButton(const char *name);
    void waitUntilIdle();

    ProgramLogHook mLogHook;
    FakeBeeper mBeeper;
    RecordingWindowFactory mWindows;
    BrevantModel mModel;
    std::unique_ptr<BrevantWC> mMainWindow;
};
