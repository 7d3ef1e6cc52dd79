// A busy Jira against the real browser window: a search page whose results and export menu come
// late. The chain waits for what it needs, never exports the search before, and gives up in time.
#include "BrowserTestSupport.h"

#include <QFile>
#include <QTest>

#include <chrono>

namespace {

const QString kQuery = QStringLiteral("project = ABC AND created >= 2020-02-15 AND created <= "
                                      "2020-02-28");

} // namespace

class TestSlowJira : public QObject, protected BrowserFixture
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void slowMenu_exportSucceeds();
    void slowSearch_exportsTheNewQueryNeverThePrevious();
    void menuNeverFills_failsAfterTheLimit();
    void stop_whileWaiting_savesNothing();

private:
    void logIn();
    void useTiming(int searchDelayMs, int exportMenuDelayMs);
    QString status() const { return mStatuses.value(mStatuses.size() - 1); }

    QStringList mStatuses;
};

void TestSlowJira::initTestCase()
{
    QVERIFY(isReady());
}

void TestSlowJira::init()
{
    startModel();
    useStandinSites();
    useStandinSprint();
    mModel->addObserver(this, [this](const ModelNotification &notification) {
        const QVariant text = notification.userInfo.value(QStringLiteral("BV_status"));
        if (text.isValid())
            mStatuses.append(text.toString());
    });
    QFile::remove(exportPath());
    mStatuses.clear();
}

void TestSlowJira::cleanup()
{
    mModel->removeObserver(this);
    useTiming(0, 0);
    stopModel();
}

void TestSlowJira::useTiming(int searchDelayMs, int exportMenuDelayMs)
{
    mServer.setSearchPageTiming({searchDelayMs, exportMenuDelayMs});
}

void TestSlowJira::logIn()
{
    signIn([this] { mModel->jiraLogin(); });
}

void TestSlowJira::slowMenu_exportSucceeds()
{
    useTiming(0, 1500);
    logIn();
    mModel->downloadCSV();
    QTRY_COMPARE_WITH_TIMEOUT(status(), QStringLiteral("Saved 3 issues to ~/Downloads/JIRA.csv"),
                              kBrowserTimeoutMs);
    QVERIFY(mStatuses.contains(QStringLiteral("Waiting for Jira…")));
    QCOMPARE(mBeeper.beeps, 0);
    QCOMPARE(fileContents(exportPath()), mServer.lastExport().body);
}

void TestSlowJira::slowSearch_exportsTheNewQueryNeverThePrevious()
{
    useTiming(2000, 0);
    logIn();
    const int exportsBefore = mServer.exportRequestCount();
    mModel->downloadCSV();
    QTRY_COMPARE_WITH_TIMEOUT(status(), QStringLiteral("Saved 3 issues to ~/Downloads/JIRA.csv"),
                              kBrowserTimeoutMs);
    // One export, of the query typed; the page's link named the empty search before it.
    QCOMPARE(mServer.exportRequestCount(), exportsBefore + 1);
    QCOMPARE(mServer.lastExport().query, kQuery);
    QCOMPARE(fileContents(exportPath()), mServer.lastExport().body);
    QCOMPARE(mBeeper.beeps, 0);
}

void TestSlowJira::menuNeverFills_failsAfterTheLimit()
{
    mModel->setStepPatience(std::chrono::seconds(3));
    useTiming(0, -1);
    logIn();
    const int exportsBefore = mServer.exportRequestCount();
    mModel->downloadCSV();
    QTRY_COMPARE_WITH_TIMEOUT(status(), QStringLiteral("The search page has no CSV export"),
                              kBrowserTimeoutMs);
    QCOMPARE(mBeeper.beeps, 1);
    verifyFailedStepFetchedNothing(exportsBefore);
}

void TestSlowJira::stop_whileWaiting_savesNothing()
{
    useTiming(0, -1);
    logIn();
    mModel->downloadCSV();
    QTRY_VERIFY_WITH_TIMEOUT(mStatuses.contains(QStringLiteral("Waiting for Jira…")),
                             kBrowserTimeoutMs);
    mModel->stopJiraCommand();
    QCOMPARE(status(), QStringLiteral("Stopped"));
    // Past the time the menu's next look and the export would have taken.
    QTest::qWait(2000);
    QCOMPARE(status(), QStringLiteral("Stopped"));
    QCOMPARE(mBeeper.beeps, 0);
    QVERIFY(!QFile::exists(exportPath()));
}

QTEST_MAIN(TestSlowJira)
#include "tst_slowjira.moc"
