// The one shared model: the user's inputs, the configuration dictionaries, the derived query
// text and work-days line, and the state of the Jira automation.
//
// "None" is kept apart from an empty string with std::optional: std::nullopt is none, an engaged
// empty QString is an empty name. The same holds for the end date and the dictionaries.
#pragma once

#include "ExportPaging.h"
#include "ModelNotification.h"
#include "ModelServices.h"

#include <QByteArray>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QMap>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QUrl>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class BrowserWindow;
enum class ChainStep;
struct FetchedResponse;
namespace ExportFile {
struct Stored;
}

using OptionalString = std::optional<QString>;
using StringDictionary = QMap<QString, QString>;
using JiraUsersDictionary = QMap<QString, StringDictionary>;

class BrevantModel final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BrevantModel)

public:
    explicit BrevantModel(const ModelServices &services = {}, QObject *parent = nullptr);
    ~BrevantModel() override;

    // The model the program uses, created on first call with the services given to
    // setSharedServices (call that first) and never destroyed.
    static BrevantModel *sharedInstance();
    static void setSharedServices(const ModelServices &services);

    // Inputs.
    std::optional<QDateTime> sprintEndDate() const { return mSprintEndDate; }
    void setSprintEndDate(const QDateTime &date);
    void setSprintStartDate(const QDateTime &date);
    qint64 sprintDurationDays() const { return mSprintDurationDays; }
    void setSprintDurationDays(qint64 days);
    bool skipNoneFound() const { return mSkipNoneFound; }
    void setSkipNoneFound(bool skip);
    OptionalString queryTabIdentifier() const { return mQueryTabIdentifier; }
    void setQueryTabIdentifier(const OptionalString &identifier);
    OptionalString engineeringQueryName() const { return mEngineeringQueryName; }
    void setEngineeringQueryName(const OptionalString &name);
    OptionalString individualQueryName() const { return mIndividualQueryName; }
    void setIndividualQueryName(const OptionalString &name);
    OptionalString jiraUsername() const { return mJiraUsername; }
    void setJiraUsername(const OptionalString &name);

    // Configuration dictionaries (stored only).
    std::optional<StringDictionary> engineeringQueryTextD() const { return mEngineeringQueryTextD; }
    void setEngineeringQueryTextD(const std::optional<StringDictionary> &dictionary);
    std::optional<StringDictionary> individualQueryTextD() const { return mIndividualQueryTextD; }
    void setIndividualQueryTextD(const std::optional<StringDictionary> &dictionary);
    std::optional<JiraUsersDictionary> jiraUsersD() const { return mJiraUsersD; }
    void setJiraUsersD(const std::optional<JiraUsersDictionary> &dictionary);
    std::optional<StringDictionary> siteURLD() const { return mSiteURLD; }
    void setSiteURLD(const std::optional<StringDictionary> &dictionary);

    // Change notifications: synchronous, in posting order, one key and one value each.
    void addObserver(const void *observer, NotificationHandler handler);
    void removeObserver(const void *observer);
    void addObserver(const void *observer, NotificationHandler handler, const QString &name);
    void removeObserver(const void *observer, const QString &name);
    void postNotificationName(const OptionalString &name, const QVariantMap &userInfo);
    // An invalid QVariant stands for a none value.
    bool updateParameter(const OptionalString &key, const QVariant &value);

    bool writeToPasteBoard(const OptionalString &text);

    // The query as the user edited it in the window: Search and Export type it until the next
    // recomputation replaces it. Nothing is posted, so the editor keeps its cursor.
    void setQueryText(const QString &text);

    // Sprint window and query text.
    void updateQueryParameters();
    void updateResponseDate();
    void previousSprint();
    void nextSprint();

    // Preferences.
    void readPrefs();
    void writePrefs();

    // Configuration files and the pages they name.
    void loadQueryTextD();
    void openQueryPage();
    void openMetricsPage();
    void showTemplateFile();

    // Jira operation sequence.
    void jiraLogin();
    void jiraSearch();
    void downloadCSV();
    void webViewOpenWindow();
    void webViewWindowWillClose();
    // Lets go of the browser window at once, closed or not. The program quits through here, so
    // that the web pages go before the browser profile they were made from.
    void releaseBrowserWindow();
    void webViewPageDidLoad();
    // A clicked link answered with a web page, not an export: the user is browsing Jira, so the
    // page is shown and no chain starts on it.
    void webViewShowLinkedPage(const QString &address);
    void webViewSetSearchText(const OptionalString &text);
    void webViewPerformSearch();
    void webViewDownloadCSV();

    // One Jira command runs at a time; while it does, "BV_busy" is true and Search and Export
    // only say so. Stop ends it: no step runs, no fetch goes on, nothing is saved.
    bool isJiraBusy() const { return mJiraBusy; }
    // How long a step waits for a slow Jira to show what it needs; 15 s unless set.
    void setStepPatience(std::chrono::milliseconds patience) { mStepPatience = patience; }
    void stopJiraCommand();

    // Shows one issue of an export in the browser window, on the Jira the site file names;
    // refused while a Jira command runs, as the page load would disturb it.
    void showIssue(const QString &key);

    // The sprint window as day texts, "yyyy-MM-dd"; empty without an end date.
    QString sprintStartText() const;
    QString sprintEndText() const;

    // Export handling; may be called from any thread. The address the data came from tells how
    // many issues Jira puts in one export.
    void downloadReceivedData(const QByteArray &data, const QUrl &address = {});
    // The fetch of a clicked link failed: an HTTP status (0 for none) and what went wrong.
    void downloadFailed(int httpStatus, const QString &reason);

private:
    void startJiraCommand(const QString &siteKey, bool download);
    bool refusedWhileBusy();
    void scheduleStep(std::chrono::milliseconds delay, std::function<void()> step);
    void runChainStep(ChainStep step, const QString &script, std::function<void()> onSuccess,
                      QDeadlineTimer patience = QDeadlineTimer::Forever);
    void clickCsvExportOfTypedQuery(QDeadlineTimer patience);
    void waitForJira(std::function<void()> tryAgain);
    void failChain(const QString &status);
    void finishChain(const QString &status);
    void setJiraBusy(bool busy);
    void postStatus(const QString &text);
    // The file work off the main thread, then the handling on it; a note is added to the status
    // of a saved or found export.
    void storeAndHandle(const QByteArray &data, bool save, const QString &note, quint64 stops);
    void handleExport(const QByteArray &data, const ExportFile::Stored &file, const QString &note,
                      bool stoppedMeanwhile);
    void reportExport(const QByteArray &data, const ExportFile::Stored &file, const QString &note,
                      bool stoppedMeanwhile);
    // An export that Jira cut off is fetched page by page and saved as one.
    void startPaging(const QByteArray &firstPage, const QUrl &address, qsizetype pageSize);
    void fetchNextExportPage();
    void exportPageArrived(const FetchedResponse &response);
    void failPaging(const QString &status);
    void saveMergedExport(const QString &note);
    void handleEmptyExport();

    struct Observer
    {
        const void *observer;
        QString name;
        NotificationHandler handler;
    };

    std::optional<QDateTime> mSprintEndDate;
    qint64 mSprintDurationDays = 14;
    OptionalString mQueryTabIdentifier;
    OptionalString mEngineeringQueryName;
    OptionalString mIndividualQueryName;
    OptionalString mJiraUsername;
    std::optional<StringDictionary> mEngineeringQueryTextD;
    std::optional<StringDictionary> mIndividualQueryTextD;
    std::optional<JiraUsersDictionary> mJiraUsersD;
    OptionalString mQueryText;
    QString mCellReference;
    std::optional<StringDictionary> mSiteURLD;
    std::unique_ptr<BrowserWindow> mWebViewWC;
    // A window that has closed, kept until its close notice has returned to the event loop.
    std::unique_ptr<BrowserWindow> mClosedWebViewWC;
    qint32 mOperationState = 0;
    // Read by downloadReceivedData, which may be called from any thread.
    std::atomic<bool> mOperationDownload = false;
    bool mSkipNoneFound = false;
    qint32 mSkipCount = 0;

    // The chain's next step waits on this one timer, so stopping cancels it.
    QTimer mStepTimer;
    std::function<void()> mPendingStep;
    bool mJiraBusy = false;
    // The chain steps back over empty sprints; that, not each step, is what the status says.
    bool mSteppingBack = false;
    // A step looks again for what a slow Jira has not shown yet.
    bool mWaitingForJira = false;
    std::chrono::milliseconds mStepPatience = std::chrono::seconds(15);
    // The text the chain typed into the search box.
    QString mTypedQuery;
    // Counts the chains; a script's answer for an earlier one is stale.
    quint64 mChain = 0;
    // Counts the stops; an export or a step back that a stop overtook is not followed up.
    std::atomic<quint64> mStops = 0;
    // The pages of an export being fetched; every end of the chain lets them go.
    std::optional<ExportPaging> mPaging;

    ModelServices mServices;
    std::vector<Observer> mObservers;
};
