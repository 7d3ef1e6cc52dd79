// The Jira commands and the chain of timed page scripts that types the query, searches and
// exports.
#include "Beeper.h"
#include "BrevantModel.h"
#include "BrowserWindow.h"
#include "JiraScripts.h"
#include "Log.h"
#include "ModifierKeys.h"

#include <QTimer>

#include <chrono>

using namespace std::chrono_literals;

namespace {

// The waits run on precise timers: a coarse one may fire up to 5% late, and the four add up
// to a delay the user sees on every export.
constexpr auto kSetTextDelay = 300ms;
constexpr auto kSearchDelay = 200ms;
constexpr auto kExportDelay = 200ms;
constexpr auto kExportMenuWait = 500ms;

void loadSiteAddress(BrowserWindow *window, const std::optional<StringDictionary> &sites,
                     const QString &key)
{
    if (!window || !sites)
        return;
    const QString address = sites->value(key);
    if (!address.isEmpty())
        window->loadURL(address);
}

// Runs one step's script. A failure is logged and beeped and ends the chain; success goes on.
void runStep(BrowserWindow *window, const QString &script, Beeper *beeper,
             std::function<void()> onSuccess)
{
    // A window closed in the meantime ends the chain without a sound.
    if (!window)
        return;
    window->runScript(script,
                      [beeper, onSuccess = std::move(onSuccess)](const ScriptOutcome &outcome) {
                          if (!outcome.failed) {
                              onSuccess();
                              return;
                          }
                          JiraScripts::logFailure(outcome);
                          if (beeper)
                              beeper->beep();
                      });
}

} // namespace

void BrevantModel::jiraLogin()
{
    if (!mWebViewWC)
        webViewOpenWindow();
    loadSiteAddress(mWebViewWC.get(), mSiteURLD, QStringLiteral("jiraLogin"));
    // Signing in is no search: an armed chain would type into the login page and beep.
    mOperationState = 0;
}

void BrevantModel::jiraSearch()
{
    if (!mWebViewWC)
        webViewOpenWindow();
    loadSiteAddress(mWebViewWC.get(), mSiteURLD, QStringLiteral("jiraSearch"));
    mOperationState = 1;
    mOperationDownload = false;
}

void BrevantModel::downloadCSV()
{
    if (!mWebViewWC)
        webViewOpenWindow();
    loadSiteAddress(mWebViewWC.get(), mSiteURLD, QStringLiteral("downloadCSV"));
    mOperationState = 1;
    mOperationDownload = true;
}

void BrevantModel::webViewOpenWindow()
{
    if (!mServices.browserWindows)
        return;
    // The previous window goes first, so that nothing it reports while going reaches the new one.
    mWebViewWC.reset();
    mWebViewWC = mServices.browserWindows->createBrowserWindow(*this);
    if (!mWebViewWC)
        return;
    const bool optionHeld = mServices.modifierKeys && mServices.modifierKeys->isOptionHeld();
    mWebViewWC->show(optionHeld);
}

void BrevantModel::webViewWindowWillClose()
{
    // The window calls this from inside its close notice, so it cannot be destroyed here; the
    // model keeps it until the notice has returned. The queued call owns nothing, so the program
    // may quit with it still pending.
    mClosedWebViewWC = std::move(mWebViewWC);
    QMetaObject::invokeMethod(
        this, [this] { mClosedWebViewWC.reset(); }, Qt::QueuedConnection);
}

void BrevantModel::releaseBrowserWindow()
{
    mClosedWebViewWC.reset();
    mWebViewWC.reset();
}

void BrevantModel::webViewShowLinkedPage(const QString &address)
{
    if (!mWebViewWC)
        return;
    mOperationState = 0;
    mWebViewWC->loadURL(address);
}

void BrevantModel::webViewPageDidLoad()
{
    logLine(QStringLiteral("Page finished loading"));
    if (mOperationState != 1)
        return;
    QTimer::singleShot(kSetTextDelay, Qt::PreciseTimer, this,
                       [this, text = mQueryText] { webViewSetSearchText(text); });
}

void BrevantModel::webViewSetSearchText(const OptionalString &text)
{
    runStep(mWebViewWC.get(), JiraScripts::setSearchText(text), mServices.beeper, [this] {
        QTimer::singleShot(kSearchDelay, Qt::PreciseTimer, this,
                           [this] { webViewPerformSearch(); });
    });
}

void BrevantModel::webViewPerformSearch()
{
    runStep(mWebViewWC.get(), JiraScripts::pressSearch(), mServices.beeper, [this] {
        // A search with skip-none-found exports too, only to learn whether anything was found.
        if (mOperationDownload || mSkipNoneFound)
            QTimer::singleShot(kExportDelay, Qt::PreciseTimer, this,
                               [this] { webViewDownloadCSV(); });
    });
}

void BrevantModel::webViewDownloadCSV()
{
    if (!mWebViewWC)
        return;
    // Submitted twice on purpose: the first only logs a failure, the second goes on.
    mWebViewWC->evaluateJavaScript(JiraScripts::openExportMenu());
    runStep(mWebViewWC.get(), JiraScripts::openExportMenu(), mServices.beeper, [this] {
        // The menu needs a moment to open; a timer keeps the window responsive meanwhile.
        QTimer::singleShot(kExportMenuWait, Qt::PreciseTimer, this, [this] {
            runStep(mWebViewWC.get(), JiraScripts::clickCsvExport(), mServices.beeper, [] {});
        });
    });
}
