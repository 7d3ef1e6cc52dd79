// An export that Jira cut off at its "tempMax": the model asks the browser window for the next
// pages until one is not full, says how far it has come, and saves the pages as one export, or
// nothing when a page fails or the user stops. The browser window is a fake that a test answers.
#include "BrevantModel.h"
#include "ExportRecords.h"
#include "FakeBrowserWindow.h"
#include "FakeModelFixture.h"
#include "LogCapture.h"
#include "ModelFakes.h"
#include "NotificationRecorder.h"
#include "TemporaryHome.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTest>

namespace {

constexpr int kTimeout = 10000;
const QString kSearchPage = QStringLiteral("http://127.0.0.1:9/issues/");
// Jira's export link: the query percent-encoded, "&" inside it too.
const QString kExportLink =
    QStringLiteral("http://127.0.0.1:9/sr/SearchRequest.csv?jqlQuery=project%20%3D%20ABC%20AND%20"
                   "summary%20~%20%22a%26b%22&tempMax=3");

const QByteArray kFirstPage = "\xEF\xBB\xBFIssue key,Sprint,Created,Resolved\r\n"
                              "ABC-1,S1,d1,r1\r\n"
                              "ABC-2,S1,d2,\r\n"
                              "ABC-3,\"S, 2\",d3,r3\r\n";
const QByteArray kEarlierFile = "earlier export";

FetchedResponse page(const QByteArray &body)
{
    return {true, body, false, 200, {}};
}

// A page of Jira's that is full at pageSize issues, numbered from first.
QByteArray numberedPage(int first, int pageSize)
{
    QByteArray bytes = "Issue key,Created\r\n";
    for (int issue = first; issue < first + pageSize; ++issue)
        bytes += "ABC-" + QByteArray::number(issue) + ",d\r\n";
    return bytes;
}

enum class Ending
{
    Stop,
    WindowClosed
};

} // namespace

Q_DECLARE_METATYPE(Ending)
Q_DECLARE_METATYPE(FetchedResponse)

class ExportPagingTest : public QObject, protected FakeModelFixture
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void fullPages_areFollowedUntilAShortOne_andSavedAsOne();
    void pageAfterAFullOne_endsThePaging_data();
    void pageAfterAFullOne_endsThePaging();
    void pageLimit_endsThePagingAndSaysSo();
    void failingPage_failsTheWholeExport_data();
    void failingPage_failsTheWholeExport();
    void user_endsThePaging_andNothingIsSaved_data();
    void user_endsThePaging_andNothingIsSaved();

private:
    QString status() const { return mRecorder->last(QStringLiteral("BV_status")).toString(); }
    QString destination() const { return mHome->path() + QStringLiteral("/Downloads/JIRA.csv"); }
    void keepAnEarlierFile();
    QByteArray savedFile() const;
    // Starts an export whose first page holds as many issues as its address asks for.
    void receiveFirstPage(const QByteArray &firstPage, const QString &address = kExportLink);
    // Answers the page asked for; false when none was.
    bool answerPage(const FetchedResponse &response);
    QList<QUrl> &pageAddresses() { return mWindows->record.pageAddresses; }
};

void ExportPagingTest::initTestCase()
{
    // Counts as a user of this locale reads them, grouped.
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

void ExportPagingTest::init()
{
    startModel();
    mModel->setSiteURLD(StringDictionary{{QStringLiteral("downloadCSV"), kSearchPage}});
    mModel->setSprintEndDate(QDateTime(QDate(2020, 3, 27), QTime(17, 30), Qt::UTC));
    recordNotifications();
}

void ExportPagingTest::cleanup()
{
    stopModel();
}

void ExportPagingTest::keepAnEarlierFile()
{
    QVERIFY(QDir().mkpath(QFileInfo(destination()).path()));
    QFile earlier(destination());
    QVERIFY(earlier.open(QIODevice::WriteOnly) && earlier.write(kEarlierFile) > 0);
}

QByteArray ExportPagingTest::savedFile() const
{
    QFile file(destination());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void ExportPagingTest::receiveFirstPage(const QByteArray &firstPage, const QString &address)
{
    mModel->downloadCSV();
    mModel->downloadReceivedData(firstPage, QUrl(address));
    QTRY_COMPARE_WITH_TIMEOUT(mWindows->record.pageFetches.size(), 1, kTimeout);
}

bool ExportPagingTest::answerPage(const FetchedResponse &response)
{
    if (mWindows->record.pageFetches.isEmpty())
        return false;
    mWindows->record.pageFetches.takeFirst().completion(response);
    return true;
}

void ExportPagingTest::fullPages_areFollowedUntilAShortOne_andSavedAsOne()
{
    receiveFirstPage(kFirstPage);
    QCOMPARE(pageAddresses().constLast().toString(QUrl::FullyEncoded),
             kExportLink + QStringLiteral("&pager/start=3"));
    QCOMPARE(status(), QStringLiteral("Fetching issues 4–6…"));
    QVERIFY(mModel->isJiraBusy());

    // The issues of this page were in more sprints: a second "Sprint" column.
    QVERIFY(answerPage(page("\xEF\xBB\xBFIssue key,Sprint,Sprint,Created,Resolved\r\n"
                            "ABC-4,S2,S3,d4,\r\n"
                            "ABC-5,S3,,d5,r5\r\n"
                            "ABC-6,\"Two\r\nlines\",,d6,\r\n")));
    QCOMPARE(pageAddresses().size(), 2);
    QCOMPARE(pageAddresses().constLast().toString(QUrl::FullyEncoded),
             kExportLink + QStringLiteral("&pager/start=6"));
    QCOMPARE(status(), QStringLiteral("Fetching issues 7–9…"));

    QVERIFY(answerPage(page("\xEF\xBB\xBFIssue key,Sprint,Created,Resolved\r\n"
                            "ABC-7,S4,d7,r7\r\n")));
    QTRY_COMPARE_WITH_TIMEOUT(status(), QStringLiteral("Saved 7 issues to ~/Downloads/JIRA.csv"),
                              kTimeout);
    QCOMPARE(savedFile(), QByteArray("\xEF\xBB\xBFIssue key,Sprint,Sprint,Created,Resolved\r\n"
                                     "ABC-1,S1,,d1,r1\r\n"
                                     "ABC-2,S1,,d2,\r\n"
                                     "ABC-3,\"S, 2\",,d3,r3\r\n"
                                     "ABC-4,S2,S3,d4,\r\n"
                                     "ABC-5,S3,,d5,r5\r\n"
                                     "ABC-6,\"Two\r\nlines\",,d6,\r\n"
                                     "ABC-7,S4,,d7,r7\r\n"));
    QCOMPARE(pageAddresses().size(), 2);
    QCOMPARE(mWorkspace.openedFiles.size(), 1);
    // "Created" moved one column to the right with the merged header.
    QVERIFY(mRecorder->last(QStringLiteral("BV_workDays"))
                .toString()
                .endsWith(QStringLiteral("\t=ROUND(E2-D2,0)")));
    QVERIFY(!mModel->isJiraBusy());
}

void ExportPagingTest::pageAfterAFullOne_endsThePaging_data()
{
    QTest::addColumn<QByteArray>("secondPage");
    QTest::addColumn<QByteArray>("saved");
    QTest::addColumn<QString>("expected");
    const QString savedThree = QStringLiteral("Saved 3 issues to ~/Downloads/JIRA.csv");
    QTest::newRow("a shorter page")
        << QByteArray("Issue key,Sprint,Created,Resolved\r\nABC-4,S2,d4,\r\n")
        << kFirstPage + "ABC-4,S2,d4,\r\n"
        << QStringLiteral("Saved 4 issues to ~/Downloads/JIRA.csv");
    QTest::newRow("an empty page") << QByteArray() << kFirstPage << savedThree;
    QTest::newRow("a page of the header alone")
        << QByteArray("Issue key,Sprint,Created,Resolved\r\n") << kFirstPage << savedThree;
    QTest::newRow("the first page again, from a server that does not page")
        << kFirstPage << kFirstPage
        << savedThree + QStringLiteral("; Jira may have left issues out, as its export stops at 3");
}

void ExportPagingTest::pageAfterAFullOne_endsThePaging()
{
    QFETCH(QByteArray, secondPage);
    QFETCH(QByteArray, saved);
    QFETCH(QString, expected);
    receiveFirstPage(kFirstPage);
    QVERIFY(answerPage(page(secondPage)));
    QTRY_COMPARE_WITH_TIMEOUT(status(), expected, kTimeout);
    QCOMPARE(savedFile(), saved);
    QCOMPARE(pageAddresses().size(), 1);
    QCOMPARE(mWorkspace.openedFiles.size(), 1);
}

void ExportPagingTest::pageLimit_endsThePagingAndSaysSo()
{
    constexpr int kPageSize = 25;
    const QString address = kExportLink.chopped(1) + QString::number(kPageSize);
    receiveFirstPage(numberedPage(1, kPageSize), address);
    for (int first = 1 + kPageSize; answerPage(page(numberedPage(first, kPageSize)));
         first += kPageSize) {
    }
    QTRY_VERIFY_WITH_TIMEOUT(!mModel->isJiraBusy(), kTimeout);
    QCOMPARE(pageAddresses().size(), 49);
    QCOMPARE(mRecorder->statuses().filter(QStringLiteral("Fetching")).constLast(),
             QStringLiteral("Fetching issues 1,226–1,250…"));
    QCOMPARE(status(), QStringLiteral("Saved 1,250 issues to ~/Downloads/JIRA.csv; Jira may have "
                                      "more, as an export stops after 50 pages (1,250 issues): "
                                      "narrow the query for the rest"));
    QCOMPARE(ExportRecords::issueCount(savedFile()), 1250);
    QVERIFY(mLog->contains(QStringLiteral("The export stopped at its limit of 50 pages")));
}

void ExportPagingTest::failingPage_failsTheWholeExport_data()
{
    QTest::addColumn<FetchedResponse>("response");
    QTest::addColumn<QString>("expected");
    QTest::newRow("server error")
        << FetchedResponse{false, {}, false, 500, QStringLiteral("Internal server error")}
        << QStringLiteral("Jira answered 500 to page 2 of the export; nothing was saved");
    QTest::newRow("session ended")
        << FetchedResponse{false, {}, false, 401, QStringLiteral("Host requires authentication")}
        << QStringLiteral(
               "Jira refused page 2 of the export (401): log in first; nothing was saved");
    QTest::newRow("timed out")
        << FetchedResponse{false, {}, false, 0, QStringLiteral("Operation canceled")}
        << QStringLiteral(
               "Page 2 of the export could not be fetched: Operation canceled; nothing was saved");
    QTest::newRow("a web page") << FetchedResponse{true, "<html></html>", true, 200, {}}
                                << QStringLiteral("Jira answered page 2 of the export with a web "
                                                  "page; nothing was saved");
}

void ExportPagingTest::failingPage_failsTheWholeExport()
{
    QFETCH(FetchedResponse, response);
    QFETCH(QString, expected);
    keepAnEarlierFile();
    receiveFirstPage(kFirstPage);
    QVERIFY(answerPage(response));
    QCOMPARE(status(), expected);
    QVERIFY(!mModel->isJiraBusy());
    QVERIFY(mLog->contains(QStringLiteral("The export failed at page 2; nothing was saved")));
    // Long enough for a save to have happened.
    QTest::qWait(200);
    QCOMPARE(savedFile(), kEarlierFile);
    QVERIFY(mWorkspace.openedFiles.isEmpty());
    QCOMPARE(pageAddresses().size(), 1);
}

void ExportPagingTest::user_endsThePaging_andNothingIsSaved_data()
{
    QTest::addColumn<Ending>("ending");
    QTest::addColumn<QString>("expected");
    QTest::newRow("Stop") << Ending::Stop << QStringLiteral("Stopped");
    QTest::newRow("browser window closed")
        << Ending::WindowClosed << QStringLiteral("Stopped: the browser window was closed");
}

void ExportPagingTest::user_endsThePaging_andNothingIsSaved()
{
    QFETCH(Ending, ending);
    QFETCH(QString, expected);
    keepAnEarlierFile();
    receiveFirstPage(kFirstPage);
    if (ending == Ending::Stop)
        mModel->stopJiraCommand();
    else
        mWindows->current->close();
    QCOMPARE(status(), expected);
    QVERIFY(!mModel->isJiraBusy());
    QCOMPARE(mWindows->record.fetchStops, ending == Ending::Stop ? 1 : 0);

    // The page that was on its way when the user ended it, full as it is, is nobody's now.
    QVERIFY(answerPage(page(numberedPage(4, 3))));
    QTest::qWait(200);
    QCOMPARE(pageAddresses().size(), 1);
    QCOMPARE(status(), expected);
    QCOMPARE(savedFile(), kEarlierFile);
    QVERIFY(mWorkspace.openedFiles.isEmpty());
}

QTEST_GUILESS_MAIN(ExportPagingTest)
#include "tst_exportpaging.moc"
