// What becomes of a fetched export: JIRA.csv in a temporary home's download folder, the retry one
// sprint back on empty results, and the work-days formula from the header line.
#include "BrevantModel.h"
#include "ExportFile.h"
#include "ExportHeader.h"
#include "FakeBrowserWindow.h"
#include "FakeModelFixture.h"
#include "JiraExportShape.h"
#include "LogCapture.h"
#include "ModelFakes.h"
#include "NotificationRecorder.h"
#include "TemporaryHome.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <QThread>

#include <csignal>
#include <pwd.h>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr int kTimeout = 10000;
const QString kExportPage = QStringLiteral("http://127.0.0.1:9/export");
const QString kSearchPage = QStringLiteral("http://127.0.0.1:9/search");
const QDateTime kEndDate(QDate(2020, 3, 27), QTime(17, 30), Qt::UTC);
const QByteArray kExport = "Issue key,Summary,Created,Resolved\r\n"
                           "ABC-1,\"Fix, then test\",2020-03-16 10:00,2020-03-20 12:00\r\n";

// Records the thread the desktop was asked on, besides what was opened.
class ThreadRecordingWorkspace final : public Workspace
{
public:
    bool openURL(const QUrl &) override { return false; }
    bool openFile(const QString &path) override
    {
        openedFiles.append(path);
        onMainThread = QThread::currentThread() == qApp->thread();
        return true;
    }
    bool selectFile(const QString &, const QString &) override { return false; }
    QStringList openedFiles;
    bool onMainThread = false;
};

// Makes every file write past a few bytes fail, as a full disk does, even for root.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &mPrevious);
        mPreviousHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = mPrevious;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &mPrevious);
        std::signal(SIGXFSZ, mPreviousHandler);
    }
    Q_DISABLE_COPY_MOVE(FileSizeLimit)

private:
    rlimit mPrevious{};
    void (*mPreviousHandler)(int) = nullptr;
};

// The rest of a test as an ordinary user when the tests run as root, to whom every file is
// writable. The given items are handed to that user first.
class AsOrdinaryUser
{
public:
    explicit AsOrdinaryUser(const QStringList &items)
    {
        const passwd *nobody = ::getpwnam("nobody");
        if (::geteuid() != 0 || !nobody)
            return;
        bool handedOver = true;
        for (const QString &item : items)
            handedOver = handedOver && ::chown(QFile::encodeName(item).constData(), nobody->pw_uid,
                                               nobody->pw_gid) == 0;
        // Real and effective ids both, since access() asks about the real one; the saved id
        // stays root, to come back.
        mSwitched = handedOver && ::setresgid(nobody->pw_gid, nobody->pw_gid, 0) == 0 &&
                    ::setresuid(nobody->pw_uid, nobody->pw_uid, 0) == 0;
    }
    ~AsOrdinaryUser()
    {
        if (mSwitched && (::setresuid(0, 0, 0) != 0 || ::setresgid(0, 0, 0) != 0))
            qFatal("Could not return to root");
    }
    Q_DISABLE_COPY_MOVE(AsOrdinaryUser)

    // False while still root: nothing would be read-only.
    static bool isOrdinary() { return ::getuid() != 0 && ::geteuid() != 0; }

private:
    bool mSwitched = false;
};

QByteArray fileContents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

bool writeFile(const QString &path, const QByteArray &contents)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size();
}

} // namespace

class ExportHandlingTest : public QObject, protected FakeModelFixture
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void export_savesOpensAndSetsFormula_data();
    void export_savesOpensAndSetsFormula();
    void export_fromAnotherThread_changesModelOnMainThread();
    void search_result_isNotSaved();
    void empty_optionOff_removesFileOnly();
    void empty_optionOn_stepsBackThenRepeatsCommand_data();
    void empty_optionOn_stepsBackThenRepeatsCommand();
    void skipCount_resetByResult_stopsAtFifty();
    void readOnlyPreviousExport_isReplaced_data();
    void readOnlyPreviousExport_isReplaced();
    void destinationPath_createsNothing();
    void failedWrite_keepsOldFileAndItsFormula_data();
    void failedWrite_keepsOldFileAndItsFormula();
    void header_formula_data();
    void header_formula();
    void header_jiraShaped_findsCreatedPastZ();
    void columnLetters_goOnPastZ_data();
    void columnLetters_goOnPastZ();

private:
    enum class Outcome
    {
        Formula,
        Retry
    };
    void handle(const QByteArray &data, Outcome outcome);
    void settleWithSearchResult();
    QString downloads() const { return mHome->path() + QStringLiteral("/Downloads"); }
    QString destination() const { return downloads() + QStringLiteral("/JIRA.csv"); }
    QString workDays() const { return mRecorder->last(QStringLiteral("BV_workDays")).toString(); }

    ThreadRecordingWorkspace mThreadWorkspace;
};

void ExportHandlingTest::init()
{
    mThreadWorkspace = ThreadRecordingWorkspace();
    startModel(&mThreadWorkspace);
    // A missing element fails after a short wait, not after the 15 s a slow Jira gets.
    mModel->setStepPatience(std::chrono::milliseconds(300));
    mModel->setSiteURLD(StringDictionary{{QStringLiteral("downloadCSV"), kExportPage},
                                         {QStringLiteral("jiraSearch"), kSearchPage}});
    mModel->setSprintEndDate(kEndDate);
    recordNotifications();
    // The empty support folder's complaints are not this test's business.
    mLog->clear();
}

void ExportHandlingTest::cleanup()
{
    stopModel();
}

// Hands data over as the browser window does and waits for the outcome the main thread reports:
// a rebuilt work-days line, or the command repeated one sprint back.
void ExportHandlingTest::handle(const QByteArray &data, Outcome outcome)
{
    const qsizetype formulas = mRecorder->keys().count(QStringLiteral("BV_workDays"));
    const qsizetype loads = mWindows->record.loads.size();
    mModel->downloadReceivedData(data);
    if (outcome == Outcome::Formula)
        QTRY_COMPARE_WITH_TIMEOUT(mRecorder->keys().count(QStringLiteral("BV_workDays")),
                                  formulas + 1, kTimeout);
    else
        QTRY_COMPARE_WITH_TIMEOUT(mWindows->record.loads.size(), loads + 1, kTimeout);
}

// Results are handled in the order they arrive, so once a later search result has been
// handled, everything before it has been too.
void ExportHandlingTest::settleWithSearchResult()
{
    // One command at a time: the search starts once the last one has ended.
    QTRY_VERIFY_WITH_TIMEOUT(!mModel->isJiraBusy(), kTimeout);
    mModel->jiraSearch();
    handle(kExport, Outcome::Formula);
}

void ExportHandlingTest::export_savesOpensAndSetsFormula_data()
{
    QTest::addColumn<bool>("linkedDownloads");
    QTest::newRow("download folder created when missing") << false;
    QTest::newRow("download folder behind a symbolic link") << true;
}

void ExportHandlingTest::export_savesOpensAndSetsFormula()
{
    QFETCH(bool, linkedDownloads);
    QString folder = downloads();
    if (linkedDownloads) {
        folder = mHome->path() + QStringLiteral("/elsewhere/exports");
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(QFile::link(folder, downloads()));
    }
    const QString path = folder + QStringLiteral("/JIRA.csv");
    QVERIFY(!QFile::exists(path));

    mModel->downloadCSV();
    mRecorder->clear();
    handle(kExport, Outcome::Formula);
    QCOMPARE(mThreadWorkspace.openedFiles, QStringList{path});
    QVERIFY(mThreadWorkspace.onMainThread);
    QCOMPARE(fileContents(path), kExport);
    QCOMPARE(mLog->lines(), (QStringList{QStringLiteral("Destination path is: ") + path,
                                         QStringLiteral("Data written to ") + path}));
    QCOMPARE(mRecorder->keys(), QStringList{QStringLiteral("BV_workDays")});
    QCOMPARE(workDays(), QStringLiteral("2020-03-20 11:59 PM\t=ROUND(D2-C2,0)"));

    // A second export replaces the first whole.
    const QByteArray shorter = "Created,Resolved\r\n";
    handle(shorter, Outcome::Formula);
    QCOMPARE(fileContents(path), shorter);
    QCOMPARE(workDays(), QStringLiteral("2020-03-20 11:59 PM\t=ROUND(B2-A2,0)"));
    QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList{QStringLiteral("JIRA.csv")});
}

void ExportHandlingTest::export_fromAnotherThread_changesModelOnMainThread()
{
    bool onMainThread = false;
    mModel->addObserver(this, [&onMainThread](const ModelNotification &) {
        onMainThread = QThread::currentThread() == qApp->thread();
    });
    mModel->downloadCSV();
    std::thread fetchThread([this] { mModel->downloadReceivedData(kExport); });
    fetchThread.join();
    QTRY_COMPARE_WITH_TIMEOUT(workDays(), QStringLiteral("2020-03-20 11:59 PM\t=ROUND(D2-C2,0)"),
                              kTimeout);
    QVERIFY(onMainThread);
    QTRY_COMPARE_WITH_TIMEOUT(mThreadWorkspace.openedFiles.size(), 1, kTimeout);
    QVERIFY(mThreadWorkspace.onMainThread);
    mModel->removeObserver(this);
}

void ExportHandlingTest::search_result_isNotSaved()
{
    QVERIFY(QDir().mkpath(downloads()));
    QVERIFY(writeFile(destination(), "earlier export"));
    mModel->jiraSearch();
    handle(kExport, Outcome::Formula);
    QCOMPARE(workDays(), QStringLiteral("2020-03-20 11:59 PM\t=ROUND(D2-C2,0)"));
    QCOMPARE(fileContents(destination()), QByteArray("earlier export"));
    QVERIFY(mThreadWorkspace.openedFiles.isEmpty());
    QVERIFY(mLog->lines().isEmpty());
}

void ExportHandlingTest::empty_optionOff_removesFileOnly()
{
    QVERIFY(QDir().mkpath(downloads()));
    QVERIFY(writeFile(destination(), "earlier export"));
    mModel->downloadCSV();
    mModel->downloadReceivedData(QByteArray());
    QTRY_VERIFY_WITH_TIMEOUT(!QFile::exists(destination()), kTimeout);
    const QStringList logged = mLog->lines();
    mRecorder->clear();
    settleWithSearchResult();
    QCOMPARE(logged, QStringList{QStringLiteral("Destination path is: ") + destination()});
    // Only the settling search result was reported, and only its page loaded.
    QCOMPARE(mRecorder->keys(), QStringList{QStringLiteral("BV_workDays")});
    QCOMPARE(mWindows->record.loads, (QStringList{kExportPage, kSearchPage}));
    QVERIFY(mThreadWorkspace.openedFiles.isEmpty());
    QCOMPARE(mModel->sprintEndDate(), kEndDate);
    QVERIFY(!QFile::exists(destination()));
}

void ExportHandlingTest::empty_optionOn_stepsBackThenRepeatsCommand_data()
{
    QTest::addColumn<bool>("exporting");
    QTest::addColumn<QString>("repeatedPage");
    QTest::newRow("export repeated") << true << kExportPage;
    QTest::newRow("search repeated") << false << kSearchPage;
}

void ExportHandlingTest::empty_optionOn_stepsBackThenRepeatsCommand()
{
    QFETCH(bool, exporting);
    QFETCH(QString, repeatedPage);

    mModel->setSkipNoneFound(true);
    exporting ? mModel->downloadCSV() : mModel->jiraSearch();
    mWindows->record.loads.clear();
    // The command must come after the step back has been reported.
    qsizetype loadsAtStepBack = -1;
    mModel->addObserver(this, [this, &loadsAtStepBack](const ModelNotification &n) {
        if (n.userInfo.contains(QStringLiteral("BV_sprintEndDate")))
            loadsAtStepBack = mWindows->record.loads.size();
    });
    handle(QByteArray(), Outcome::Retry);
    QCOMPARE(mModel->sprintEndDate(), kEndDate.addDays(-14));
    QCOMPARE(loadsAtStepBack, 0);
    QCOMPARE(mWindows->record.loads, QStringList{repeatedPage});
    QCOMPARE(mLog->count(QStringLiteral("Destination path is: ") + destination()),
             exporting ? 1 : 0);
    mModel->removeObserver(this);
}

void ExportHandlingTest::skipCount_resetByResult_stopsAtFifty()
{
    mModel->setSkipNoneFound(true);
    mModel->jiraSearch();
    mWindows->record.loads.clear();
    const auto emptyResults = [this](int count) {
        for (int i = 0; i < count; ++i)
            handle(QByteArray(), Outcome::Retry);
    };
    emptyResults(48);
    // A result resets the count, so 49 more empty results are all stepped over.
    handle(kExport, Outcome::Formula);
    emptyResults(49);
    const QDateTime lastRetry = *mModel->sprintEndDate();
    QCOMPARE(lastRetry, kEndDate.addDays(-14 * 97));

    // The fiftieth in a row: no retry, the date stays, and the count starts again.
    mModel->downloadReceivedData(QByteArray());
    handle(QByteArray(), Outcome::Retry);
    QCOMPARE(mModel->sprintEndDate(), lastRetry.addDays(-14));
    // That step back is running; a search starts only once it is stopped.
    mModel->stopJiraCommand();
    settleWithSearchResult();
    QCOMPARE(mWindows->record.loads.size(), 97 + 1 + 1);
}

void ExportHandlingTest::readOnlyPreviousExport_isReplaced_data()
{
    QTest::addColumn<bool>("othersFile");
    QTest::newRow("the user's own file") << false;
    QTest::newRow("another user's file in the user's folder") << true;
}

void ExportHandlingTest::readOnlyPreviousExport_isReplaced()
{
    QFETCH(bool, othersFile);
    if (othersFile && ::geteuid() != 0)
        QSKIP("Only root can leave another user's file here.");
    QVERIFY(QDir().mkpath(downloads()));
    QVERIFY(writeFile(destination(), "earlier export"));
    QVERIFY(QFile::setPermissions(destination(), QFile::ReadOwner | QFile::ReadGroup));
    QStringList handedOver{mHome->path(), downloads()};
    if (!othersFile)
        handedOver.append(destination());
    const AsOrdinaryUser ordinaryUser(handedOver);
    QVERIFY(AsOrdinaryUser::isOrdinary());

    mModel->downloadCSV();
    handle(kExport, Outcome::Formula);
    QCOMPARE(fileContents(destination()), kExport);
    QVERIFY(mLog->contains(QStringLiteral("Data written to ") + destination()));
    QCOMPARE(mThreadWorkspace.openedFiles, QStringList{destination()});
}

void ExportHandlingTest::destinationPath_createsNothing()
{
    QCOMPARE(ExportFile::destinationPath(), destination());
    QVERIFY(!QFileInfo::exists(downloads()));
}

void ExportHandlingTest::failedWrite_keepsOldFileAndItsFormula_data()
{
    QTest::addColumn<bool>("folderInTheWay");
    QTest::newRow("write fails part way") << false;
    QTest::newRow("a folder stands at the destination") << true;
}

void ExportHandlingTest::failedWrite_keepsOldFileAndItsFormula()
{
    QFETCH(bool, folderInTheWay);
    QVERIFY(QDir().mkpath(downloads()));
    const QString kept =
        folderInTheWay ? destination() + QStringLiteral("/inside.txt") : destination();
    QVERIFY(QDir().mkpath(QFileInfo(kept).path()));
    QVERIFY(writeFile(kept, "earlier export"));

    QByteArray large = kExport;
    while (large.size() < 256 * 1024)
        large += "ABC-2,\"A longer summary line\",2020-03-17 09:00,2020-03-19 15:00\r\n";
    mModel->downloadCSV();
    {
        std::optional<FileSizeLimit> limit;
        if (!folderInTheWay)
            limit.emplace(4096);
        mModel->downloadReceivedData(large);
        QTRY_VERIFY_WITH_TIMEOUT(mLog->contains(QStringLiteral("Data could not be written")),
                                 kTimeout);
    }
    QTRY_VERIFY_WITH_TIMEOUT(!mModel->isJiraBusy(), kTimeout);
    // Results are handled in order: once the search's formula is in, the failed export has been
    // handled, and it posted none of its own.
    const qsizetype formulas = mRecorder->keys().count(QStringLiteral("BV_workDays"));
    mModel->jiraSearch();
    handle("Key,Summary,Created\r\nABC-1,x,2020-03-16\r\n", Outcome::Formula);
    QCOMPARE(mRecorder->keys().count(QStringLiteral("BV_workDays")), formulas + 1);
    QVERIFY(!mLog->contains(QStringLiteral("Data written to ") + destination()));
    QCOMPARE(fileContents(kept), QByteArray("earlier export"));
    QVERIFY(mThreadWorkspace.openedFiles.isEmpty());
    // Nothing half-written is left behind.
    QCOMPARE(QDir(downloads()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList{QStringLiteral("JIRA.csv")});
}

void ExportHandlingTest::header_formula_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QString>("formula");

    const QString notFound = QStringLiteral("\t=ROUND(K2-J2,0)");
    QTest::newRow("created third, resolved after") << kExport << "\t=ROUND(D2-C2,0)";
    QTest::newRow("created first") << QByteArray("Created,Key\r") << "\t=ROUND(B2-A2,0)";
    QTest::newRow("created as the 25th title")
        << QByteArray("A,B,C,D,E,F,G,H,I,J,K,L,M,N,O,P,Q,R,S,T,U,V,W,X,Created,Z\r1")
        << "\t=ROUND(Z2-Y2,0)";
    QTest::newRow("created as the 26th title")
        << QByteArray("A,B,C,D,E,F,G,H,I,J,K,L,M,N,O,P,Q,R,S,T,U,V,W,X,Y,Created\r1")
        << "\t=ROUND(AA2-Z2,0)";
    QTest::newRow("created last, nothing after it")
        << QByteArray("Key,Created") << "\t=ROUND(C2-B2,0)";
    QTest::newRow("no created title") << QByteArray("Key,Summary,Resolved\r") << notFound;
    QTest::newRow("lower-case created") << QByteArray("Key,created,Resolved\r") << notFound;
    QTest::newRow("blank before the word") << QByteArray("Key, Created,Resolved\r") << notFound;
    QTest::newRow("word in double quotes") << QByteArray("Key,\"Created\",Resolved\r") << notFound;
    QTest::newRow("two created titles, the first counts")
        << QByteArray("Key,Created,Updated,Created\r") << "\t=ROUND(C2-B2,0)";
    QTest::newRow("no line break: the whole text is the header")
        << QByteArray("Key,Summary,Created,Updated") << "\t=ROUND(D2-C2,0)";
    QTest::newRow("created only on a later line")
        << QByteArray("Key,Summary\rCreated,X\r") << notFound;
    QTest::newRow("line feed ends the header")
        << QByteArray("Key,Created\nABC-1,2020-03-16\n") << "\t=ROUND(C2-B2,0)";
    QTest::newRow("line feed before a later created")
        << QByteArray("Key,Summary\nCreated,X\r") << notFound;
    QTest::newRow("byte-order mark before the first title") << QByteArray("\xEF\xBB\xBF"
                                                                          "Created,Updated\r\n")
                                                            << "\t=ROUND(B2-A2,0)";
    QTest::newRow("byte-order mark inside the header is text") << QByteArray("Key,\xEF\xBB\xBF"
                                                                             "Created\r\n")
                                                               << notFound;
    QTest::newRow("titles in other scripts")
        << QByteArray("Schl\xC3\xBCssel,\xE6\x97\xA5\xE6\x9C\xAC,Created,Erledigt\r")
        << "\t=ROUND(D2-C2,0)";
    QTest::newRow("header not utf-8") << QByteArray("Schl\xFCssel,Summary,Created\r") << notFound;
    QTest::newRow("header ends in a cut sequence") << QByteArray("Key,Created,\xC3\r") << notFound;
    QTest::newRow("stray bytes after the header are not read")
        << QByteArray("Key,Created,X\r\n\xFF\xFE\xC3") << "\t=ROUND(C2-B2,0)";
    QTest::newRow("header is an empty line") << QByteArray("\r\nKey,Created\r\n") << notFound;
}

void ExportHandlingTest::header_formula()
{
    QFETCH(QByteArray, data);
    QFETCH(QString, formula);
    QCOMPARE(ExportHeader::cellReference(data), formula);

    // The model takes the same formula into the work-days line, for a search as for an export.
    mModel->jiraSearch();
    handle(data, Outcome::Formula);
    QCOMPARE(workDays(), QStringLiteral("2020-03-20 11:59 PM") + formula);
}

void ExportHandlingTest::header_jiraShaped_findsCreatedPastZ()
{
    qsizetype createdIndex = 0;
    QByteArray export_ = "\xEF\xBB\xBF" + jiraShapedHeader(createdIndex) + "\r\n";
    QCOMPARE(createdIndex, 30);
    QVERIFY(export_.count(',') + 1 >= 70);
    for (int row = 0; row < 20; ++row)
        export_ += "Summary " + QByteArray::number(row) +
                   " with \"\"quotes\"\", commas\r\nand lines,ABC-" + QByteArray::number(row) +
                   QByteArray(",x", 2).repeated(70) + "\r\n";
    QCOMPARE(ExportHeader::cellReference(export_), QStringLiteral("\t=ROUND(AF2-AE2,0)"));

    // Long single-line headers are read piecewise; a multi-byte title on a slice edge stays whole.
    // 9753 titles of 21 bytes before "Created": it is column 9754, NKD.
    const QByteArray wide = QByteArray("Custom field (\xC3\xA9t\xC3\xA9),").repeated(9753);
    QCOMPARE(ExportHeader::cellReference(QByteArray(wide + "Created,Updated\r")),
             QStringLiteral("\t=ROUND(NKE2-NKD2,0)"));
}

void ExportHandlingTest::columnLetters_goOnPastZ_data()
{
    QTest::addColumn<qsizetype>("index");
    QTest::addColumn<QString>("letters");
    QTest::newRow("first") << qsizetype(0) << "A";
    QTest::newRow("last single letter") << qsizetype(25) << "Z";
    QTest::newRow("first of two letters") << qsizetype(26) << "AA";
    QTest::newRow("end of the A run") << qsizetype(51) << "AZ";
    QTest::newRow("start of the B run") << qsizetype(52) << "BA";
    QTest::newRow("last of two letters") << qsizetype(701) << "ZZ";
    QTest::newRow("first of three letters") << qsizetype(702) << "AAA";
    QTest::newRow("spreadsheet's last column") << qsizetype(16383) << "XFD";
}

void ExportHandlingTest::columnLetters_goOnPastZ()
{
    QFETCH(qsizetype, index);
    QFETCH(QString, letters);
    QCOMPARE(ExportHeader::columnLetters(index), letters);
}

QTEST_GUILESS_MAIN(ExportHandlingTest)
#include "tst_exporthandling.moc"
