// An export past the stand-in's cap, as a user meets it: the real browser window fetches the pages
// from the stand-in Jira, whose pages differ in their repeated columns as Jira's do, and the
// export lands merged in the temporary Downloads folder, or not at all.
#include "BrowserTestSupport.h"
#include "CsvScanner.h"
#include "StandinIssues.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QTest>

namespace {

const QString kTemplateName = QStringLiteral("Paged");
// Without a creation range the stand-in finds all eight of its issues: three pages of three.
const QString kAllIssues = QStringLiteral("project = ABC ORDER BY created ASC");
// ABC-104, ABC-105 and ABC-106: one page of three, full.
const QString kThreeIssues = QStringLiteral("project = ABC AND {created} ORDER BY created ASC");
constexpr qsizetype kCap = 3;

struct ParsedExport
{
    QByteArrayList titles;
    QList<QByteArrayList> rows;
};

ParsedExport parse(const QByteArray &csv)
{
    ParsedExport parsed;
    CsvScanner scanner(CsvScanner::withoutByteOrderMark(csv));
    CsvFields fields;
    while (scanner.nextRecord(fields)) {
        QByteArrayList texts;
        for (const QByteArrayView field : std::as_const(fields))
            texts.append(CsvScanner::fieldText(field));
        if (parsed.titles.isEmpty())
            parsed.titles = texts;
        else
            parsed.rows.append(texts);
    }
    return parsed;
}

// The row's fields under each occurrence of the title, in order.
QStringList fieldsUnder(const ParsedExport &parsed, const QByteArrayList &row,
                        const QByteArray &title)
{
    QStringList values;
    for (qsizetype i = 0; i < parsed.titles.size(); ++i) {
        if (parsed.titles[i] == title)
            values.append(QString::fromUtf8(row.value(i)));
    }
    return values;
}

} // namespace

class TestPagedExport : public QObject, protected BrowserFixture
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void threePages_mergeIntoTheIssuesUnderTheirTitles();
    void failingSecondPage_savesNothing();
    void fullPageThenEmptyPage_savesTheFirstPage();

private:
    void useTemplate(const QString &queryTemplate);
    void logInAndExport();

    QString mStatus;
};

void TestPagedExport::initTestCase()
{
    QVERIFY(isReady());
}

void TestPagedExport::init()
{
    startModel();
    useStandinSites();
    mModel->setSprintEndDate(QDateTime(QDate(2020, 2, 28), QTime(17, 30), Qt::UTC));
    mModel->addObserver(this, [this](const ModelNotification &notification) {
        const QVariant status = notification.userInfo.value(QStringLiteral("BV_status"));
        if (status.isValid())
            mStatus = status.toString();
    });
    mServer.setExportCap(kCap);
    mServer.setFailingExportPage(0);
    QFile::remove(exportPath());
}

void TestPagedExport::cleanup()
{
    mModel->removeObserver(this);
    stopModel();
}

void TestPagedExport::useTemplate(const QString &queryTemplate)
{
    mModel->setEngineeringQueryTextD(StringDictionary{{kTemplateName, queryTemplate}});
    mModel->setQueryTabIdentifier(QStringLiteral("Engineering"));
    mModel->setEngineeringQueryName(kTemplateName);
}

void TestPagedExport::logInAndExport()
{
    signIn([this] { mModel->jiraLogin(); });
    mModel->downloadCSV();
}

void TestPagedExport::threePages_mergeIntoTheIssuesUnderTheirTitles()
{
    useTemplate(kAllIssues);
    const int exportsBefore = mServer.exportRequestCount();
    logInAndExport();
    QTRY_COMPARE_WITH_TIMEOUT(mWorkspace.openedFiles.size(), 1, kBrowserTimeoutMs);
    QCOMPARE(mStatus, QStringLiteral("Saved 8 issues to ~/Downloads/JIRA.csv"));
    QCOMPARE(mServer.exportRequestCount() - exportsBefore, 3);
    QCOMPARE(mServer.lastExport().pageStart, 2 * kCap);

    const QString query = mServer.lastExport().query;
    // The premise: the pages differ in how often they repeat a title.
    QVERIFY(StandinIssues::exportCsv(query, 0, kCap).split('\r').constFirst() !=
            StandinIssues::exportCsv(query, kCap, kCap).split('\r').constFirst());
    const QList<StandinIssues::ExportedIssue> issues = StandinIssues::exportedIssues(query);
    const ParsedExport saved = parse(fileContents(exportPath()));
    QCOMPARE(saved.rows.size(), issues.size());
    QSet<QByteArray> issueTitles;
    for (const auto &[title, values] : issues.constFirst())
        issueTitles.insert(title);
    QCOMPARE(QSet<QByteArray>(saved.titles.cbegin(), saved.titles.cend()), issueTitles);
    for (qsizetype i = 0; i < issues.size(); ++i) {
        for (const auto &[title, values] : issues[i]) {
            // An issue's values first, then empty fields for the occurrences it has no value for.
            QStringList expected = values;
            while (expected.size() < saved.titles.count(title))
                expected.append(QString());
            QCOMPARE(fieldsUnder(saved, saved.rows[i], title), expected);
        }
    }
    QCOMPARE(saved.titles.count("Sprint"), 3);
    QCOMPARE(saved.titles.count("Labels"), 3);
}

void TestPagedExport::failingSecondPage_savesNothing()
{
    useTemplate(kAllIssues);
    QVERIFY(QDir().mkpath(QFileInfo(exportPath()).path()));
    QFile earlier(exportPath());
    QVERIFY(earlier.open(QIODevice::WriteOnly) && earlier.write("earlier export") > 0);
    earlier.close();
    mServer.setFailingExportPage(2);
    const int exportsBefore = mServer.exportRequestCount();
    logInAndExport();
    QTRY_COMPARE_WITH_TIMEOUT(
        mStatus, QStringLiteral("Jira answered 500 to page 2 of the export; nothing was saved"),
        kBrowserTimeoutMs);
    QCOMPARE(mServer.exportRequestCount() - exportsBefore, 2);
    QCOMPARE(fileContents(exportPath()), QByteArray("earlier export"));
    QVERIFY(mWorkspace.openedFiles.isEmpty());
    QVERIFY(!mModel->isJiraBusy());
}

void TestPagedExport::fullPageThenEmptyPage_savesTheFirstPage()
{
    useTemplate(kThreeIssues);
    const int exportsBefore = mServer.exportRequestCount();
    logInAndExport();
    QTRY_COMPARE_WITH_TIMEOUT(mWorkspace.openedFiles.size(), 1, kBrowserTimeoutMs);
    QCOMPARE(mStatus, QStringLiteral("Saved 3 issues to ~/Downloads/JIRA.csv"));
    QCOMPARE(mServer.exportRequestCount() - exportsBefore, 2);
    QCOMPARE(mServer.lastExport().pageStart, kCap);
    QVERIFY(mServer.lastExport().body.isEmpty());
    QCOMPARE(fileContents(exportPath()),
             StandinIssues::exportCsv(mServer.lastExport().query, 0, kCap));
}

QTEST_MAIN(TestPagedExport)
#include "tst_pagedexport.moc"
