// The Jira commands and the chain of timed page scripts that types the query, searches and
// exports; one chain at a time, which the user can stop.
#include "Beeper.h"
#include "BrevantModel.h"
#include "BrowserWindow.h"
#include "ExportLink.h"
#include "IssueAddress.h"
#include "JiraScripts.h"
#include "JiraStatus.h"
#include "Log.h"
#include "ModifierKeys.h"

#include <chrono>

using namespace std::chrono_literals;

namespace {

constexpr auto kSetTextDelay = 300ms;
constexpr auto kSearchDelay = 200ms;
constexpr auto kExportDelay = 200ms;
constexpr auto kExportMenuWait = 500ms;
// How often a step waiting for a slow Jira looks again.
constexpr auto kRetryInterval = 100ms;

// True when an address was loaded.
bool loadSiteAddress(BrowserWindow *window, const std::optional<StringDictionary> &sites,
                     const QString &key)
{
    if (!window || !sites)
        return false;
    const QString address = sites->value(key);
    if (address.isEmpty())
        return false;
    window->loadURL(address);
    return true;
}

// A page of the Jira the site file names: the search page, else the export or login page.
QUrl jiraAddress(const std::optional<StringDictionary> &sites)
{
    if (!sites)
        return {};
    for (const char *key : {"jiraSearch", "downloadCSV", "jiraLogin"}) {
        const QString address = sites->value(QString::fromLatin1(key));
        if (!address.isEmpty())
            return QUrl(address);
    }
    return {};
}

} // namespace

void BrevantModel::jiraLogin()
{
    // Signing in ends a running command; the login page is no place to type a query.
    if (mJiraBusy)
        stopJiraCommand();
    if (!mWebViewWC)
        webViewOpenWindow();
    const bool loading = loadSiteAddress(mWebViewWC.get(), mSiteURLD, QStringLiteral("jiraLogin"));
    // Signing in is no search: an armed chain would type into the login page and beep.
    mOperationState = 0;
    postStatus(loading ? JiraStatus::loginShown()
                       : JiraStatus::noAddress(QStringLiteral("jiraLogin")));
}

void BrevantModel::showIssue(const QString &key)
{
    if (refusedWhileBusy())
        return;
    const QUrl address = IssueAddress::forKey(jiraAddress(mSiteURLD), key);
    if (address.isEmpty()) {
        logLine(QStringLiteral("No Jira address to show the issue %1 at").arg(key));
        postStatus(JiraStatus::noIssueAddress(key));
        return;
    }
    if (!mWebViewWC)
        webViewOpenWindow();
    if (!mWebViewWC)
        return;
    // Browsing, not a command: no chain starts on the issue page.
    mOperationState = 0;
    mWebViewWC->loadURL(address.toString());
    mWebViewWC->show(false);
    postStatus(JiraStatus::showingIssue(key.trimmed()));
}

void BrevantModel::jiraSearch()
{
    if (!refusedWhileBusy())
        startJiraCommand(QStringLiteral("jiraSearch"), false);
}

void BrevantModel::downloadCSV()
{
    if (!refusedWhileBusy())
        startJiraCommand(QStringLiteral("downloadCSV"), true);
}

bool BrevantModel::refusedWhileBusy()
{
    if (mJiraBusy)
        postStatus(JiraStatus::alreadyRunning());
    return mJiraBusy;
}

void BrevantModel::startJiraCommand(const QString &siteKey, bool download)
{
    if (!mWebViewWC)
        webViewOpenWindow();
    const bool loading = loadSiteAddress(mWebViewWC.get(), mSiteURLD, siteKey);
    mOperationState = 1;
    mOperationDownload = download;
    if (!loading) {
        finishChain(JiraStatus::noAddress(siteKey));
        return;
    }
    setJiraBusy(true);
    // While stepping back over empty sprints, the step back is the news, not each step.
    if (!mSteppingBack)
        postStatus(JiraStatus::openingPage(false));
}

void BrevantModel::stopJiraCommand()
{
    if (!mJiraBusy)
        return;
    mSkipCount = 0;
    ++mStops;
    // A page still loading would start the chain over.
    mOperationState = 0;
    finishChain(JiraStatus::stopped());
    // After the chain has ended, so that the failure the abort reports is not taken as news.
    if (mWebViewWC)
        mWebViewWC->stopFetching();
}

void BrevantModel::finishChain(const QString &status)
{
    ++mChain;
    mStepTimer.stop();
    mPendingStep = {};
    mPaging.reset();
    mSteppingBack = false;
    mWaitingForJira = false;
    setJiraBusy(false);
    postStatus(status);
}

void BrevantModel::setJiraBusy(bool busy)
{
    if (mJiraBusy == busy)
        return;
    mJiraBusy = busy;
    updateParameter(QStringLiteral("BV_busy"), busy);
}

void BrevantModel::postStatus(const QString &text)
{
    updateParameter(QStringLiteral("BV_status"), text);
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
    if (mJiraBusy) {
        ++mStops;
        finishChain(JiraStatus::windowClosed());
    }
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
    if (mJiraBusy)
        finishChain(JiraStatus::webPageInstead());
    mOperationState = 0;
    mWebViewWC->loadURL(address);
}

void BrevantModel::webViewPageDidLoad()
{
    logLine(QStringLiteral("Page finished loading"));
    if (mOperationState != 1)
        return;
    // A page that loads while a chain runs starts it over: one chain at a time.
    ++mChain;
    mPaging.reset();
    setJiraBusy(true);
    scheduleStep(kSetTextDelay, [this, text = mQueryText] { webViewSetSearchText(text); });
}

void BrevantModel::scheduleStep(std::chrono::milliseconds delay, std::function<void()> step)
{
    mPendingStep = std::move(step);
    mStepTimer.start(delay);
}

// Runs one step's script. A slow Jira may not have drawn the step's element yet, so a failing
// script is tried again every 100 ms until the step has waited 15 s in all; then its failure is
// logged and beeped and ends the chain. Success goes on.
void BrevantModel::runChainStep(ChainStep step, const QString &script,
                                std::function<void()> onSuccess, QDeadlineTimer patience)
{
    // A window closed in the meantime ends the chain without a sound.
    if (!mWebViewWC)
        return;
    const bool firstTry = patience.isForever();
    if (firstTry)
        patience.setRemainingTime(mStepPatience);
    mWebViewWC->runScript(script, [this, step, script, patience, chain = mChain,
                                   onSuccess = std::move(onSuccess)](const ScriptOutcome &outcome) {
        if (chain != mChain)
            return;
        if (!outcome.failed) {
            onSuccess();
        } else if (!patience.hasExpired()) {
            waitForJira([this, step, script, patience, onSuccess] {
                runChainStep(step, script, onSuccess, patience);
            });
        } else {
            JiraScripts::logFailure(outcome);
            failChain(JiraStatus::missingElement(step));
        }
    });
    // Said once the script is on its way, so the window's redrawing overlaps the page's work.
    if (firstTry && !mSteppingBack)
        postStatus(JiraStatus::stepRunning(step));
}

void BrevantModel::waitForJira(std::function<void()> tryAgain)
{
    if (!mWaitingForJira && !mSteppingBack)
        postStatus(JiraStatus::waitingForJira());
    mWaitingForJira = true;
    scheduleStep(kRetryInterval, std::move(tryAgain));
}

void BrevantModel::failChain(const QString &status)
{
    if (mServices.beeper)
        mServices.beeper->beep();
    finishChain(status);
}

void BrevantModel::webViewSetSearchText(const OptionalString &text)
{
    mTypedQuery = text.value_or(QString());
    runChainStep(ChainStep::SetText, JiraScripts::setSearchText(text),
                 [this] { scheduleStep(kSearchDelay, [this] { webViewPerformSearch(); }); });
}

void BrevantModel::webViewPerformSearch()
{
    runChainStep(ChainStep::Search, JiraScripts::pressSearch(), [this] {
        // A search with skip-none-found exports too, only to learn whether anything was found.
        if (mOperationDownload || mSkipNoneFound)
            scheduleStep(kExportDelay, [this] { webViewDownloadCSV(); });
        else
            finishChain(JiraStatus::searched(sprintStartText(), sprintEndText()));
    });
}

void BrevantModel::webViewDownloadCSV()
{
    if (!mWebViewWC)
        return;
    // Submitted twice on purpose: the first only logs a failure, the second goes on.
    mWebViewWC->evaluateJavaScript(JiraScripts::openExportMenu());
    runChainStep(ChainStep::ExportMenu, JiraScripts::openExportMenu(), [this] {
        // The menu needs a moment to open; a timer keeps the window responsive meanwhile.
        scheduleStep(kExportMenuWait,
                     [this] { clickCsvExportOfTypedQuery(QDeadlineTimer::Forever); });
    });
}

// The export link names the query of the search the page last finished; until that is the query
// typed, the click would export the search before.
void BrevantModel::clickCsvExportOfTypedQuery(QDeadlineTimer patience)
{
    if (!mWebViewWC)
        return;
    if (patience.isForever())
        patience.setRemainingTime(mStepPatience);
    mWebViewWC->readLinkAddress(
        QStringLiteral("currentCsvFields"),
        [this, patience, chain = mChain](const std::optional<QString> &address) {
            if (chain != mChain)
                return;
            // No link yet is the click step's own wait.
            if (!address || ExportLink::isForQuery(*address, mTypedQuery)) {
                runChainStep(ChainStep::CsvExport, JiraScripts::clickCsvExport(), [] {});
            } else if (!patience.hasExpired()) {
                waitForJira([this, patience] { clickCsvExportOfTypedQuery(patience); });
            } else {
                logLine(QStringLiteral("Jira had not finished the search"));
                failChain(JiraStatus::searchUnfinished());
            }
        });
}
