// What the status line says about the Jira commands, one chain at a time, and Stop: the model
// against a fake browser window, with the real timers.
#include "BrevantModel.h"
#include "ExportRecords.h"
#include "FakeBrowserWindow.h"
#include "FakeModelFixture.h"
#include "JiraScripts.h"
#include "LogCapture.h"
#include "ModelFakes.h"
#include "NotificationRecorder.h"
#include "TemporaryHome.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QRegularExpression>
#include <QTest>

namespace {

const QString kSearchPage = QStringLiteral("http://127.0.0.1:9/issues/?search");
const QString kExportPage = QStringLiteral("http://127.0.0.1:9/issues/?export");
const QDateTime kEndDate(QDate(2020, 3, 27), QTime(17, 30), Qt::UTC);
constexpr int kTimeout = 10000;

// Three issues, one of whose summaries holds a line break inside its quotes.
const QByteArray kExport = "Issue key,Summary,Created,Resolved\r\n"
                           "ABC-1,\"Two\r\nlines\",2020-03-16 10:00,2020-03-20 12:00\r\n"
                           "ABC-2,Plain,2020-03-17 10:00,\r\n"
                           "ABC-3,\"Quoted \"\"word\"\"\",2020-03-18 10:00,\r\n";

enum class Outcome
{
    Refused,
    ServerError,
    NoAnswer,
    NoSearchBox,
    NoSearchButton,
    NoExportMenu,
    NoCsvExport,
    Saved,
    FoundAtTheCap,
    NothingFound,
    NothingFoundSteppingBack,
    NoApplication,
    NotWritten
};

enum class StopPoint
{
    BeforeTyping,
    BeforeSearching,
    WhileTheMenuOpens,
    WhileFetching
};

} // namespace

Q_DECLARE_METATYPE(Outcome)
Q_DECLARE_METATYPE(StopPoint)

class JiraStatusTest : public QObject, protected FakeModelFixture
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void outcome_isSaidInTheStatusLine_data();
    void outcome_isSaidInTheStatusLine();
    void steps_areSaidAsTheyRun();
    void stop_atEachStep_leavesNothingRunningAndSavesNothing_data();
    void stop_atEachStep_leavesNothingRunningAndSavesNothing();
    void stop_duringSteppingBack_endsItAndStartsCountingAgain();
    void secondCommand_duringAChain_startsNothing();
    void slowPage_stepTriesAgainUntilItsElementIsThere();
    void exportLink_ofThePreviousSearch_isWaitedFor_data();
    void exportLink_ofThePreviousSearch_isWaitedFor();
    void exportLink_neverOfTheTypedQuery_failsAndSavesNothing();
    void editedQuery_isTypedUntilTheNextRecomputation();
    void issueCount_readsRecordsAsCsv_data();
    void issueCount_readsRecordsAsCsv();

private:
    QString status() const { return mRecorder->last(QStringLiteral("BV_status")).toString(); }
    QString destination() const { return mHome->path() + QStringLiteral("/Downloads/JIRA.csv"); }
    // Runs an export, or a search with skip-none-found, up to the click on its CSV link.
    void exportUpToTheClick(bool exporting = true);
    void waitForScripts(qsizetype count);
    // Lets more than a step's delay pass, for showing that no further step runs.
    void waitPastNextStep();
};

void JiraStatusTest::init()
{
    startModel();
    // A missing element fails after a short wait, not after the 15 s a slow Jira gets.
    mModel->setStepPatience(std::chrono::milliseconds(300));
    mModel->setSiteURLD(StringDictionary{{QStringLiteral("jiraSearch"), kSearchPage},
                                         {QStringLiteral("downloadCSV"), kExportPage}});
    mModel->setEngineeringQueryTextD(StringDictionary{
        {QStringLiteral("Created"), QStringLiteral("project = ABC AND {created}")}});
    mModel->setEngineeringQueryName(QStringLiteral("Created"));
    mModel->setSprintEndDate(kEndDate);
    recordNotifications();
}

void JiraStatusTest::cleanup()
{
    stopModel();
}

void JiraStatusTest::waitForScripts(qsizetype count)
{
    QTRY_COMPARE_WITH_TIMEOUT(mWindows->record.scripts.size(), count, kTimeout);
}

void JiraStatusTest::waitPastNextStep()
{
    QEventLoop loop;
    QTimer::singleShot(800, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

void JiraStatusTest::exportUpToTheClick(bool exporting)
{
    if (exporting)
        mModel->downloadCSV();
    else
        mModel->jiraSearch();
    mWindows->current->finishLoading();
    waitForScripts(4);
}

void JiraStatusTest::outcome_isSaidInTheStatusLine_data()
{
    QTest::addColumn<Outcome>("outcome");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("stillBusy");

    const auto literal = [](const QString &text) { return QRegularExpression::escape(text); };
    QTest::newRow("401") << Outcome::Refused
                         << literal("Jira refused the export (401): log in first") << false;
    QTest::newRow("500") << Outcome::ServerError << literal("Jira answered 500 to the export")
                         << false;
    QTest::newRow("no answer") << Outcome::NoAnswer
                               << literal("The export could not be fetched: Connection refused")
                               << false;
    QTest::newRow("no search box")
        << Outcome::NoSearchBox << literal("The search page has no search box") << false;
    QTest::newRow("no Search button")
        << Outcome::NoSearchButton << literal("The search page has no Search button") << false;
    QTest::newRow("no export menu")
        << Outcome::NoExportMenu << literal("The search page has no export menu") << false;
    QTest::newRow("no CSV export")
        << Outcome::NoCsvExport << literal("The search page has no CSV export") << false;
    QTest::newRow("saved") << Outcome::Saved << literal("Saved 3 issues to ~/Downloads/JIRA.csv")
                           << false;
    // A search only learns whether anything was found, so it fetches no further pages.
    QTest::newRow("found as many as the export's cap")
        << Outcome::FoundAtTheCap
        << literal("Found 3 issues from 2020-03-14 to 2020-03-27; Jira may have left issues out, "
                   "as its export stops at 3")
        << false;
    QTest::newRow("nothing found")
        << Outcome::NothingFound << literal("No issues from 2020-03-14 to 2020-03-27") << false;
    QTest::newRow("nothing found, stepping back")
        << Outcome::NothingFoundSteppingBack
        << literal("No issues from 2020-03-14 to 2020-03-27; trying the sprint before (1 of 49)")
        << true;
    QTest::newRow("no application for CSV files")
        << Outcome::NoApplication
        << literal("No application opens CSV files; the export is at ~/Downloads/JIRA.csv")
        << false;
    QTest::newRow("not written")
        << Outcome::NotWritten
        << QStringLiteral("^JIRA\\.csv could not be written: .+; the previous file was kept$")
        << false;
}

void JiraStatusTest::outcome_isSaidInTheStatusLine()
{
    QFETCH(Outcome, outcome);
    QFETCH(QString, expected);
    QFETCH(bool, stillBusy);

    const QHash<Outcome, QString> failingScripts = {
        {Outcome::NoSearchBox, JiraScripts::setSearchText(QStringLiteral(
                                   "project = ABC AND created >= 2020-03-14 AND created <= "
                                   "2020-03-27"))},
        {Outcome::NoSearchButton, JiraScripts::pressSearch()},
        {Outcome::NoExportMenu, JiraScripts::openExportMenu()},
        {Outcome::NoCsvExport, JiraScripts::clickCsvExport()}};
    if (failingScripts.contains(outcome)) {
        mWindows->record.failures.insert(failingScripts.value(outcome),
                                         {true, {}, QStringLiteral("TypeError: null")});
        mModel->downloadCSV();
        mWindows->current->finishLoading();
        QTRY_COMPARE_WITH_TIMEOUT(mBeeper.beeps, 1, kTimeout);
    } else {
        mModel->setSkipNoneFound(outcome == Outcome::NothingFoundSteppingBack ||
                                 outcome == Outcome::FoundAtTheCap);
        mWorkspace.opensFiles = outcome != Outcome::NoApplication;
        if (outcome == Outcome::NotWritten)
            QVERIFY(QDir().mkpath(destination()));
        exportUpToTheClick(outcome != Outcome::FoundAtTheCap);
        switch (outcome) {
        case Outcome::Refused:
            mModel->downloadFailed(401, QStringLiteral("Host requires authentication"));
            break;
        case Outcome::ServerError:
            mModel->downloadFailed(500, QStringLiteral("Internal server error"));
            break;
        case Outcome::NoAnswer:
            mModel->downloadFailed(0, QStringLiteral("Connection refused"));
            break;
        case Outcome::FoundAtTheCap:
            mModel->downloadReceivedData(kExport, QUrl(kExportPage + QStringLiteral("&tempMax=3")));
            break;
        case Outcome::NothingFound:
        case Outcome::NothingFoundSteppingBack:
            mModel->downloadReceivedData(QByteArray());
            break;
        default:
            mModel->downloadReceivedData(kExport);
        }
    }
    QTRY_VERIFY2_WITH_TIMEOUT(QRegularExpression(expected).match(status()).hasMatch(),
                              qPrintable(status()), kTimeout);
    QCOMPARE(mModel->isJiraBusy(), stillBusy);
    QCOMPARE(mRecorder->last(QStringLiteral("BV_busy")).toBool(), stillBusy);
}

void JiraStatusTest::steps_areSaidAsTheyRun()
{
    exportUpToTheClick();
    mModel->downloadReceivedData(kExport);
    QTRY_VERIFY_WITH_TIMEOUT(!mModel->isJiraBusy(), kTimeout);
    QCOMPARE(mRecorder->statuses(),
             (QStringList{"Opening the search page…", "Typing the query…", "Searching…",
                          "Opening the export menu…", "Exporting…",
                          "Saved 3 issues to ~/Downloads/JIRA.csv"}));
}

void JiraStatusTest::stop_atEachStep_leavesNothingRunningAndSavesNothing_data()
{
    QTest::addColumn<StopPoint>("point");
    QTest::addColumn<int>("scriptsRun");
    QTest::newRow("before the query is typed") << StopPoint::BeforeTyping << 0;
    QTest::newRow("before Search is pressed") << StopPoint::BeforeSearching << 1;
    QTest::newRow("while the export menu opens") << StopPoint::WhileTheMenuOpens << 3;
    QTest::newRow("while the export is fetched") << StopPoint::WhileFetching << 4;
}

void JiraStatusTest::stop_atEachStep_leavesNothingRunningAndSavesNothing()
{
    QFETCH(StopPoint, point);
    QFETCH(int, scriptsRun);
    QVERIFY(QDir().mkpath(QFileInfo(destination()).path()));
    QFile earlier(destination());
    QVERIFY(earlier.open(QIODevice::WriteOnly) && earlier.write("earlier export") > 0);
    earlier.close();

    mModel->downloadCSV();
    mWindows->current->finishLoading();
    if (point != StopPoint::BeforeTyping)
        waitForScripts(scriptsRun);
    mModel->stopJiraCommand();
    QCOMPARE(status(), QStringLiteral("Stopped"));
    QVERIFY(!mModel->isJiraBusy());
    QCOMPARE(mWindows->record.fetchStops, 1);

    waitPastNextStep();
    waitPastNextStep();
    QCOMPARE(mWindows->record.scripts.size(), scriptsRun);
    QCOMPARE(mBeeper.beeps, 0);
    QVERIFY(mWorkspace.openedFiles.isEmpty());
    QFile kept(destination());
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), QByteArray("earlier export"));
    // The browser window stays, for the next command.
    QCOMPARE(mWindows->created, 1);
    QVERIFY(mWindows->current);
}

void JiraStatusTest::stop_duringSteppingBack_endsItAndStartsCountingAgain()
{
    mModel->setSkipNoneFound(true);
    exportUpToTheClick();
    mModel->downloadReceivedData(QByteArray());
    QTRY_COMPARE_WITH_TIMEOUT(mWindows->record.loads.size(), 2, kTimeout);
    mWindows->current->finishLoading();
    waitForScripts(8);
    mModel->downloadReceivedData(QByteArray());
    // Stopped before the step back to the third sprint has begun.
    mModel->stopJiraCommand();
    waitPastNextStep();
    QCOMPARE(mWindows->record.loads.size(), 2);
    QCOMPARE(status(), QStringLiteral("Stopped"));

    mWindows->record.scripts.clear();
    mModel->downloadCSV();
    mWindows->current->finishLoading();
    waitForScripts(4);
    mModel->downloadReceivedData(QByteArray());
    QTRY_VERIFY_WITH_TIMEOUT(status().endsWith(QStringLiteral("(1 of 49)")), kTimeout);
}

void JiraStatusTest::secondCommand_duringAChain_startsNothing()
{
    mModel->downloadCSV();
    mModel->downloadCSV();
    QCOMPARE(status(),
             QStringLiteral("A Jira command is still running; press Stop to end it first"));
    mModel->jiraSearch();
    QCOMPARE(mWindows->record.loads, QStringList{kExportPage});
    mWindows->current->finishLoading();
    waitForScripts(4);
    waitPastNextStep();
    // One chain: each script once.
    QCOMPARE(mWindows->record.scripts.size(), 4);
}

void JiraStatusTest::slowPage_stepTriesAgainUntilItsElementIsThere()
{
    mWindows->record.slowScripts.insert(JiraScripts::clickCsvExport(), 2);
    exportUpToTheClick();
    QTRY_COMPARE_WITH_TIMEOUT(mWindows->record.scripts.count(JiraScripts::clickCsvExport()), 3,
                              kTimeout);
    QVERIFY(mRecorder->statuses().contains(QStringLiteral("Waiting for Jira…")));
    mModel->downloadReceivedData(kExport);
    QTRY_COMPARE_WITH_TIMEOUT(status(), QStringLiteral("Saved 3 issues to ~/Downloads/JIRA.csv"),
                              kTimeout);
    QCOMPARE(mBeeper.beeps, 0);
    QVERIFY(!mLog->lines().join(QLatin1Char('\n')).contains(QStringLiteral("Error ")));
}

void JiraStatusTest::exportLink_ofThePreviousSearch_isWaitedFor_data()
{
    QTest::addColumn<QString>("current");
    const QString base = kExportPage + QStringLiteral("&tempMax=1000&jqlQuery=");
    QTest::newRow("percent-encoded")
        << base +
               QStringLiteral("project%20%3D%20ABC%20AND%20created%20%3E%3D%202020-03-14%20AND%20"
                              "created%20%3C%3D%202020-03-27");
    QTest::newRow("plus for blanks")
        << base + QStringLiteral("project+%3D+ABC+AND+created+%3E%3D+2020-03-14+AND+created+%3C%3D"
                                 "+2020-03-27");
    QTest::newRow("no query in the address") << kExportPage;
}

void JiraStatusTest::exportLink_ofThePreviousSearch_isWaitedFor()
{
    QFETCH(QString, current);
    const QString previous =
        kExportPage + QStringLiteral("&jqlQuery=project%20%3D%20ABC%20AND%20created%20%3E%3D%20"
                                     "2020-02-29%20AND%20created%20%3C%3D%202020-03-13");
    mWindows->record.linkAddresses = {previous, previous};
    mWindows->record.linkAddress = current;
    mModel->downloadCSV();
    mWindows->current->finishLoading();
    waitForScripts(4);
    QCOMPARE(mWindows->record.scripts.last(), JiraScripts::clickCsvExport());
    QCOMPARE(mWindows->record.linkReads.size(), 3);
    QVERIFY(mRecorder->statuses().contains(QStringLiteral("Waiting for Jira…")));
}

void JiraStatusTest::exportLink_neverOfTheTypedQuery_failsAndSavesNothing()
{
    mWindows->record.linkAddress = kExportPage + QStringLiteral("&jqlQuery=project%20%3D%20OLD");
    mModel->downloadCSV();
    mWindows->current->finishLoading();
    QTRY_COMPARE_WITH_TIMEOUT(status(), QStringLiteral("Jira had not finished the search"),
                              kTimeout);
    QVERIFY(mLog->contains(QStringLiteral("Jira had not finished the search")));
    QCOMPARE(mBeeper.beeps, 1);
    QVERIFY(!mWindows->record.scripts.contains(JiraScripts::clickCsvExport()));
    QVERIFY(!mModel->isJiraBusy());
}

void JiraStatusTest::editedQuery_isTypedUntilTheNextRecomputation()
{
    mModel->setQueryText(QStringLiteral("project = XYZ AND text ~ 'edited'"));
    mModel->jiraSearch();
    mWindows->current->finishLoading();
    waitForScripts(1);
    QCOMPARE(mWindows->record.scripts.first(),
             JiraScripts::setSearchText(QStringLiteral("project = XYZ AND text ~ 'edited'")));
    mModel->stopJiraCommand();

    mModel->nextSprint();
    mModel->jiraSearch();
    mWindows->current->finishLoading();
    waitForScripts(2);
    QCOMPARE(mWindows->record.scripts.last(),
             JiraScripts::setSearchText(QStringLiteral(
                 "project = ABC AND created >= 2020-03-28 AND created <= 2020-04-10")));
}

void JiraStatusTest::issueCount_readsRecordsAsCsv_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<qsizetype>("issues");
    QTest::newRow("nothing") << QByteArray() << qsizetype(0);
    QTest::newRow("a header alone") << QByteArray("Key,Created\r\n") << qsizetype(0);
    QTest::newRow("line breaks inside quotes") << kExport << qsizetype(3);
    QTest::newRow("LF line ends, no final one")
        << QByteArray("Key,Created\nA-1,x\nA-2,y") << qsizetype(2);
    QTest::newRow("blank lines between") << QByteArray("Key\r\n\r\nA-1\r\n\r\n") << qsizetype(1);
    QTest::newRow("a CR alone ends a line") << QByteArray("Key\rA-1\rA-2\r") << qsizetype(2);
    // Line ends at and across the 64-byte steps the text is read in.
    QTest::newRow("CRLF split between steps")
        << QByteArray(63, 'k') + "\r\n" + QByteArray(62, 'a') + "\r\n\r\n\"b\n" +
               QByteArray(70, 'b') + "\"\r\nc"
        << qsizetype(3);
    QTest::newRow("a line of only a line end after a step") << QByteArray(64, 'k') + "\n\n"
                                                            << qsizetype(0);
}

void JiraStatusTest::issueCount_readsRecordsAsCsv()
{
    QFETCH(QByteArray, data);
    QFETCH(qsizetype, issues);
    QCOMPARE(ExportRecords::issueCount(data), issues);
}

QTEST_GUILESS_MAIN(JiraStatusTest)
#include "tst_jirastatus.moc"
