// The whole export as a user meets it: the model's commands drive the real browser window
// against the stand-in Jira, and the export lands in the temporary Downloads folder.
#include "BrowserSession.h"
#include "BrowserTestSupport.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QWebEngineView>

namespace {

const QString kTemplateName = QStringLiteral("Created in sprint");

} // namespace

class TestJiraExport : public QObject, protected BrowserFixture
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void export_afterLogin_savesTheServersCsvAndOpensIt();
    void export_withoutLogin_isAFailedFetchAndSavesNothing();
    void skipNoneFound_twoEmptySprints_findsTheThirdBack();
    void template_withQuotes_reachesTheSearchBoxUnchanged();
    void export_pageWithoutTheElements_logsAndBeeps();
    void issueLink_afterExport_showsThePageAndKeepsTheExport();
    void login_afterExport_neverBeeps();

private:
    void useTemplate(const QString &queryTemplate);
    void logIn();
    void exportOnce();
    void waitPastAChainStep();

    QStringList mWorkDays;
};

void TestJiraExport::initTestCase()
{
    QVERIFY(isReady());
}

void TestJiraExport::init()
{
    startModel();
    useStandinSites();
    mModel->addObserver(this, [this](const ModelNotification &notification) {
        const QVariant line = notification.userInfo.value(QStringLiteral("BV_workDays"));
        if (line.isValid())
            mWorkDays.append(line.toString());
    });
    mModel->setSprintEndDate(QDateTime(QDate(2020, 2, 28), QTime(17, 30), Qt::UTC));
    useTemplate(QStringLiteral("project = ABC AND {created} ORDER BY created ASC"));
    QFile::remove(exportPath());
    mWorkDays.clear();
}

void TestJiraExport::cleanup()
{
    mModel->removeObserver(this);
    stopModel();
}

void TestJiraExport::useTemplate(const QString &queryTemplate)
{
    mModel->setEngineeringQueryTextD(StringDictionary{{kTemplateName, queryTemplate}});
    mModel->setQueryTabIdentifier(QStringLiteral("Engineering"));
    mModel->setEngineeringQueryName(QString());
    mModel->setEngineeringQueryName(kTemplateName);
}

void TestJiraExport::exportOnce()
{
    logIn();
    mModel->downloadCSV();
    QTRY_COMPARE_WITH_TIMEOUT(mWorkspace.openedFiles.size(), 1, kBrowserTimeoutMs);
    QTRY_VERIFY(!mWorkDays.isEmpty());
}

// Absence can only be shown by letting the chain's time pass: a chain would have typed into the
// page 0.3 s after its load, and failed there.
void TestJiraExport::waitPastAChainStep()
{
    QTest::qWait(1000);
}

void TestJiraExport::logIn()
{
    signIn([this] { mModel->jiraLogin(); });
    QCOMPARE(mFactory.window->webView()->url(), mServer.searchURL());
}

void TestJiraExport::export_afterLogin_savesTheServersCsvAndOpensIt()
{
    logIn();
    mModel->downloadCSV();
    QTRY_COMPARE_WITH_TIMEOUT(mWorkspace.openedFiles.size(), 1, kBrowserTimeoutMs);

    QCOMPARE(mServer.lastExport().status, 200);
    const QByteArray served = mServer.lastExport().body;
    QVERIFY(served.contains("\r\n"));
    QFile saved(exportPath());
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll(), served);
    QCOMPARE(QDir(mWorkspace.openedFiles.constFirst()).canonicalPath(),
             QDir(exportPath()).canonicalPath());
    QTRY_VERIFY(!mWorkDays.isEmpty());
    // "Created" is the stand-in's eleventh title, column K, with "Resolved" beside it in L.
    QVERIFY2(mWorkDays.constLast().endsWith(QStringLiteral("\t=ROUND(L2-K2,0)")),
             qPrintable(mWorkDays.constLast()));
    QCOMPARE(mFactory.created, 1);
}

void TestJiraExport::export_withoutLogin_isAFailedFetchAndSavesNothing()
{
    mModel->downloadCSV();
    QTRY_VERIFY_WITH_TIMEOUT(mLog->lines()
                                 .join(QLatin1Char('\n'))
                                 .contains(QStringLiteral("Error retrieving requested URL: ")),
                             kBrowserTimeoutMs);
    QCOMPARE(mServer.lastExport().status, 401);
    // The server's refusal is counted, not saved.
    QVERIFY(mLog->contains(QStringLiteral("Completion handler called with %1 data bytes")
                               .arg(QByteArray("You are not logged in.\n").size())));
    QVERIFY(!QFile::exists(exportPath()));
    QVERIFY(mWorkspace.openedFiles.isEmpty());
    QVERIFY(mWorkDays.isEmpty());
}

void TestJiraExport::skipNoneFound_twoEmptySprints_findsTheThirdBack()
{
    // The stand-in has no issue created between 2020-02-29 and 2020-03-27.
    mModel->setSprintEndDate(QDateTime(QDate(2020, 3, 27), QTime(17, 30), Qt::UTC));
    mModel->setSkipNoneFound(true);
    logIn();
    const int exportsBefore = mServer.exportRequestCount();
    mModel->downloadCSV();
    QTRY_COMPARE_WITH_TIMEOUT(mWorkspace.openedFiles.size(), 1, 3 * kBrowserTimeoutMs);

    QCOMPARE(mServer.exportRequestCount() - exportsBefore, 3);
    QCOMPARE(mModel->sprintEndDate(),
             std::optional<QDateTime>(QDateTime(QDate(2020, 2, 28), QTime(17, 30), Qt::UTC)));
    QVERIFY(mServer.lastExport().query.contains(
        QStringLiteral("created >= 2020-02-15 AND created <= 2020-02-28")));
    QFile saved(exportPath());
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll(), mServer.lastExport().body);
}

void TestJiraExport::template_withQuotes_reachesTheSearchBoxUnchanged()
{
    useTemplate(QStringLiteral("project = ABC AND summary ~ \"skip\" AND status != 'To Do' "
                               "AND text ~ 'a\\\\b' AND {created}"));
    const QString expected = QStringLiteral("project = ABC AND summary ~ \"skip\" AND "
                                            "status != 'To Do' AND text ~ 'a\\\\b' AND created "
                                            ">= 2020-02-15 AND created <= 2020-02-28");
    logIn();
    mModel->downloadCSV();
    QTRY_COMPARE_WITH_TIMEOUT(mWorkspace.openedFiles.size(), 1, kBrowserTimeoutMs);
    QCOMPARE(mServer.lastExport().query, expected);
    const ScriptOutcome box = runScriptSync(
        *mFactory.window, QStringLiteral("document.getElementById('advanced-search').value"));
    QCOMPARE(box.result.toString(), expected);
    QCOMPARE(mBeeper.beeps, 0);
}

void TestJiraExport::export_pageWithoutTheElements_logsAndBeeps()
{
    StringDictionary sites = *mModel->siteURLD();
    sites.insert(QStringLiteral("downloadCSV"), mServer.pageWithoutNavigatorURL().toString());
    mModel->setSiteURLD(sites);
    const int exportsBefore = mServer.exportRequestCount();
    mModel->downloadCSV();
    QTRY_COMPARE_WITH_TIMEOUT(mBeeper.beeps, 1, kBrowserTimeoutMs);
    verifyFailedStepFetchedNothing(exportsBefore);
}

void TestJiraExport::issueLink_afterExport_showsThePageAndKeepsTheExport()
{
    exportOnce();
    WebViewWC &window = *mFactory.window;
    const QByteArray saved = fileContents(exportPath());
    const QStringList workDays = mWorkDays;
    QTRY_VERIFY_WITH_TIMEOUT(
        runScriptSync(window, QStringLiteral("document.querySelector('#results a') !== null"))
            .result.toBool(),
        kBrowserTimeoutMs);
    const QUrl issue(
        runScriptSync(window, QStringLiteral("document.querySelector('#results a').href"))
            .result.toString());
    QVERIFY(issue.path().startsWith(QStringLiteral("/browse/ABC-")));
    const int loads = mLog->count(QStringLiteral("Page finished loading"));

    runScriptSync(window, QStringLiteral("document.querySelector('#results a').click();"));
    QTRY_COMPARE_WITH_TIMEOUT(mLog->count(QStringLiteral("Page finished loading")), loads + 1,
                              kBrowserTimeoutMs);
    QCOMPARE(window.webView()->url(), issue);
    QCOMPARE(window.urlBar()->text(), issue.toString());
    waitPastAChainStep();
    QCOMPARE(fileContents(exportPath()), saved);
    QCOMPARE(mWorkspace.openedFiles.size(), 1);
    QCOMPARE(mWorkDays, workDays);
    QCOMPARE(mBeeper.beeps, 0);
}

void TestJiraExport::login_afterExport_neverBeeps()
{
    exportOnce();
    const int loads = mLog->count(QStringLiteral("Page finished loading"));
    mModel->jiraLogin();
    QTRY_COMPARE_WITH_TIMEOUT(mLog->count(QStringLiteral("Page finished loading")), loads + 1,
                              kBrowserTimeoutMs);
    submitLoginForm(*mFactory.window, QStringLiteral("dev.ben"));
    QTRY_COMPARE_WITH_TIMEOUT(mLog->count(QStringLiteral("Page finished loading")), loads + 2,
                              kBrowserTimeoutMs);
    waitPastAChainStep();
    QCOMPARE(mBeeper.beeps, 0);
    QVERIFY(!mLog->lines().join(QLatin1Char('\n')).contains(QStringLiteral("Error ")));
}

QTEST_MAIN(TestJiraExport)
#include "tst_jiraexport.moc"
