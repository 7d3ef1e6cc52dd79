// The sprint report of an export: its dates, its spans in whole days and the spreadsheet's numbers
// over them. Every expected number here was worked out by hand from the fixture.
#include "ExportAnalysis.h"
#include "ExportDates.h"
#include "ExportHeader.h"

#include <QDateTime>
#include <QFile>
#include <QLocale>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QString exportPath(const QString &name)
{
    return qEnvironmentVariable("BREVANT_SOURCE_DIR") + u"/tests/model/exports/"_s + name;
}

QByteArray exportData(const QString &name)
{
    QFile file(exportPath(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

qint64 utc(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s, ms), Qt::UTC).toMSecsSinceEpoch();
}

// "key days" per issue, "open" and "unusable" for the others.
QStringList spans(const SprintReport &report)
{
    QStringList spans;
    for (const ReportIssue &issue : report.rows) {
        const QString span = issue.span == ReportIssue::Span::Days   ? QString::number(issue.days)
                             : issue.span == ReportIssue::Span::Open ? u"open"_s
                                                                     : u"unusable"_s;
        spans.append(QString::fromUtf8(report.key(issue)) + u' ' + span);
    }
    return spans;
}

} // namespace

class TestSprintReport : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void analysis_export_givesHandWorkedNumbers_data();
    void analysis_export_givesHandWorkedNumbers();
    void analysis_sprintExport_listsEverySpan();
    void analysis_file_givesWhatTheDataGive();
    void analysis_stoppedFile_givesNothing();
    void analysis_unusableHeader_saysWhy_data();
    void analysis_unusableHeader_saysWhy();
    void instant_exportDate_readsJirasFormats_data();
    void instant_exportDate_readsJirasFormats();
    void statistics_days_asTheSpreadsheet_data();
    void statistics_days_asTheSpreadsheet();
    void roundedDays_halves_awayFromZero_data();
    void roundedDays_halves_awayFromZero();
};

void TestSprintReport::initTestCase()
{
    QLocale::setDefault(QLocale::c());
}

void TestSprintReport::analysis_export_givesHandWorkedNumbers_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("span");
    QTest::addColumn<QList<qsizetype>>("counts");
    QTest::addColumn<QList<double>>("numbers");
    QTest::addColumn<QString>("line");
    // Days 4, 2, 8, 0 and 50: median 4, mean 64/5, rank 3.4 gives 8 + 0.4 × 42.
    QTest::newRow("quoted line breaks, repeated titles, open, bad and negative spans")
        << u"sprint.csv"_s << u"Days from Created to Resolved"_s << QList<qsizetype>{9, 5, 2, 2}
        << QList<double>{4, 12.8, 24.8, 50} << u"2020-02-14\t2020-02-28\t9\t5\t4\t24.8\t50"_s;
    // Days 2, 1 and 11: median 2, mean 14/3, rank 1.7 gives 2 + 0.7 × 9.
    QTest::newRow("seventy titles, Created in column AE")
        << u"wide.csv"_s << u"Days from Created to Resolved"_s << QList<qsizetype>{4, 3, 1, 0}
        << QList<double>{2, 14.0 / 3, 8.3, 11} << u"2020-02-14\t2020-02-28\t4\t3\t2\t8.3\t11"_s;
}

void TestSprintReport::analysis_export_givesHandWorkedNumbers()
{
    QFETCH(QString, file);
    QFETCH(QString, span);
    QFETCH(QList<qsizetype>, counts);
    QFETCH(QList<double>, numbers);
    QFETCH(QString, line);
    SprintReport report = ExportAnalysis::ofData(exportData(file));
    report.sprintStart = u"2020-02-14"_s;
    report.sprintEnd = u"2020-02-28"_s;
    QCOMPARE(report.outcome, SprintReport::Outcome::Ready);
    QCOMPARE(report.spanTitle(), span);
    QCOMPARE((QList<qsizetype>{report.issues, report.done, report.open, report.unusable}), counts);
    QVERIFY(report.statistics);
    QCOMPARE(report.statistics->median, numbers[0]);
    QCOMPARE(report.statistics->mean, numbers[1]);
    QCOMPARE(report.statistics->percentile85, numbers[2]);
    QCOMPARE(double(report.statistics->maximum), numbers[3]);
    QCOMPARE(report.summaryLine(), line);
}

void TestSprintReport::analysis_sprintExport_listsEverySpan()
{
    const SprintReport report = ExportAnalysis::ofData(exportData(u"sprint.csv"_s));
    QCOMPARE(spans(report), (QStringList{u"BRV-1 4"_s, u"BRV-2 2"_s, u"BRV-3 open"_s,
                                         u"BRV-4 unusable"_s, u"BRV-5 unusable"_s, u"BRV-6 8"_s,
                                         u"BRV-7 open"_s, u"BRV-8 0"_s, u"BRV-9 50"_s}));
    QCOMPARE(report.summary(report.rows[1]), "Two-line\r\nsummary with \"quotes\"");
    QCOMPARE(report.summary(report.rows[0]), "Login fails, sometimes");
    // 0 to 50 in bars three days wide: 0 and 2, then 4, 8 and 50.
    QCOMPARE(report.histogram.size(), 17);
    QCOMPARE(report.histogram[0].issues, 2);
    QCOMPARE(report.histogram[1].issues, 1);
    QCOMPARE(report.histogram[2].issues, 1);
    QCOMPARE(report.histogram[16].from, 48);
    QCOMPARE(report.histogram[16].to, 50);
    QCOMPARE(report.histogram[16].issues, 1);
}

void TestSprintReport::analysis_file_givesWhatTheDataGive()
{
    qint64 lastRead = 0;
    const auto report =
        ExportAnalysis::ofFile(exportPath(u"sprint.csv"_s), [&](qint64 read, qint64) {
            lastRead = read;
            return true;
        });
    QVERIFY(report);
    const SprintReport fromData = ExportAnalysis::ofData(exportData(u"sprint.csv"_s));
    QCOMPARE(spans(*report), spans(fromData));
    QCOMPARE(report->summaryLine(), fromData.summaryLine());
    QCOMPARE(lastRead, QFile(exportPath(u"sprint.csv"_s)).size());
}

void TestSprintReport::analysis_stoppedFile_givesNothing()
{
    QVERIFY(
        !ExportAnalysis::ofFile(exportPath(u"sprint.csv"_s), [](qint64, qint64) { return false; }));
}

void TestSprintReport::analysis_unusableHeader_saysWhy_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<SprintReport::Outcome>("outcome");
    QTest::addColumn<qsizetype>("issues");
    QTest::addColumn<QString>("problem");
    QTest::newRow("no Created column")
        << QByteArray("Issue key,Resolved\nA-1,x\n") << SprintReport::Outcome::NoCreatedColumn
        << qsizetype(1)
        << u"The export has no \"Created\" column, so there is no span to measure."_s;
    QTest::newRow("Created last")
        << QByteArray("Issue key,Created\r\nA-1,17/Feb/20 8:05 AM\r\nA-2,\r\n")
        << SprintReport::Outcome::NoColumnAfterCreated << qsizetype(2)
        << u"\"Created\" is the export's last column, so there is no end date to measure to."_s;
    QTest::newRow("empty file") << QByteArray() << SprintReport::Outcome::Empty << qsizetype(0)
                                << u"The export is empty: it has no header line."_s;
    QTest::newRow("header only") << QByteArray("Created,Resolved\n") << SprintReport::Outcome::Ready
                                 << qsizetype(0) << QString();
}

void TestSprintReport::analysis_unusableHeader_saysWhy()
{
    QFETCH(QByteArray, data);
    QFETCH(SprintReport::Outcome, outcome);
    QFETCH(qsizetype, issues);
    QFETCH(QString, problem);
    const SprintReport report = ExportAnalysis::ofData(data);
    QCOMPARE(report.outcome, outcome);
    QCOMPARE(report.issues, issues);
    QCOMPARE(report.problem(), problem);
    QVERIFY(!report.statistics);
}

void TestSprintReport::instant_exportDate_readsJirasFormats_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<std::optional<qint64>>("instant");
    using I = std::optional<qint64>;
    QTest::newRow("Jira's default") << QByteArray("17/Feb/20 8:05 AM") << I(utc(2020, 2, 17, 8, 5));
    QTest::newRow("afternoon") << QByteArray("17/Feb/20 8:05 PM") << I(utc(2020, 2, 17, 20, 5));
    QTest::newRow("12 AM is midnight") << QByteArray("01/Mar/21 12:00 AM") << I(utc(2021, 3, 1));
    QTest::newRow("12 PM is noon") << QByteArray("01/Mar/21 12:00 PM") << I(utc(2021, 3, 1, 12));
    QTest::newRow("month in capitals, blanks around")
        << QByteArray("  03/DEC/19 11:59 pm ") << I(utc(2019, 12, 3, 23, 59));
    QTest::newRow("month in full") << QByteArray("3/September/2020") << I(utc(2020, 9, 3));
    QTest::newRow("24-hour clock") << QByteArray("17/Feb/20 20:05") << I(utc(2020, 2, 17, 20, 5));
    QTest::newRow("four-digit year, no time") << QByteArray("29/Feb/2020") << I(utc(2020, 2, 29));
    QTest::newRow("ISO with minutes")
        << QByteArray("2020-02-17 08:05") << I(utc(2020, 2, 17, 8, 5));
    QTest::newRow("ISO with seconds")
        << QByteArray("2020-02-17 08:05:09") << I(utc(2020, 2, 17, 8, 5, 9));
    QTest::newRow("ISO with T and fraction")
        << QByteArray("2020-02-17T08:05:09.5") << I(utc(2020, 2, 17, 8, 5, 9, 500));
    QTest::newRow("ISO with a zone, taken off")
        << QByteArray("2020-02-17T08:05:00.000+0100") << I(utc(2020, 2, 17, 7, 5));
    QTest::newRow("ISO in UTC") << QByteArray("2020-02-17T08:05Z") << I(utc(2020, 2, 17, 8, 5));
    QTest::newRow("ISO date alone") << QByteArray("2020-02-17") << I(utc(2020, 2, 17));
    QTest::newRow("no such day") << QByteArray("30/Feb/20 8:05 AM") << I();
    QTest::newRow("no such month") << QByteArray("17/Fbr/20 8:05 AM") << I();
    QTest::newRow("13 PM") << QByteArray("17/Feb/20 13:05 PM") << I();
    QTest::newRow("minute 60") << QByteArray("2020-02-17 08:60") << I();
    QTest::newRow("trailing text") << QByteArray("2020-02-17 08:05 tomorrow") << I();
    QTest::newRow("words") << QByteArray("yesterday") << I();
    QTest::newRow("number alone") << QByteArray("43878.33") << I();
    QTest::newRow("blank") << QByteArray("  ") << I();
}

void TestSprintReport::instant_exportDate_readsJirasFormats()
{
    QFETCH(QByteArray, text);
    QFETCH(std::optional<qint64>, instant);
    QCOMPARE(ExportDates::instant(text), instant);
}

void TestSprintReport::statistics_days_asTheSpreadsheet_data()
{
    QTest::addColumn<QList<qint64>>("days");
    QTest::addColumn<QList<double>>("numbers");
    QTest::newRow("one issue") << QList<qint64>{5} << QList<double>{5, 5, 5, 5};
    // Median of 2 and 3; rank 0.85 × 3 = 2.55 between 3 and 4.
    QTest::newRow("even count, unsorted")
        << QList<qint64>{4, 1, 3, 2} << QList<double>{2.5, 2.5, 3.55, 4};
    // Sorted 0 to 8, then 100: rank 0.85 × 9 = 7.65 lies between 7 and 8; the mean feels the 100.
    QTest::newRow("one slow issue")
        << QList<qint64>{1, 2, 3, 4, 5, 6, 7, 8, 100, 0} << QList<double>{4.5, 13.6, 7.65, 100};
    // Rank 0.85 × 4 = 3.4 lies between 8 and 100.
    QTest::newRow("slowest two apart")
        << QList<qint64>{0, 2, 4, 8, 100} << QList<double>{4, 22.8, 44.8, 100};
    QTest::newRow("all the same") << QList<qint64>{0, 0, 0} << QList<double>{0, 0, 0, 0};
}

void TestSprintReport::statistics_days_asTheSpreadsheet()
{
    QFETCH(QList<qint64>, days);
    QFETCH(QList<double>, numbers);
    const auto statistics = SpanStatistics::of(days);
    QVERIFY(statistics);
    QCOMPARE(statistics->median, numbers[0]);
    QCOMPARE(statistics->mean, numbers[1]);
    QCOMPARE(statistics->percentile85, numbers[2]);
    QCOMPARE(double(statistics->maximum), numbers[3]);
}

void TestSprintReport::roundedDays_halves_awayFromZero_data()
{
    QTest::addColumn<qint64>("msecs");
    QTest::addColumn<qint64>("days");
    constexpr qint64 day = 86'400'000;
    QTest::newRow("half a day") << day / 2 << qint64(1);
    QTest::newRow("just under half") << day / 2 - 1 << qint64(0);
    QTest::newRow("two and a half") << 5 * day / 2 << qint64(3);
    QTest::newRow("minus half a day") << -day / 2 << qint64(-1);
    QTest::newRow("zero") << qint64(0) << qint64(0);
}

void TestSprintReport::roundedDays_halves_awayFromZero()
{
    QFETCH(qint64, msecs);
    QFETCH(qint64, days);
    QCOMPARE(roundedDays(msecs), days);
}

QTEST_GUILESS_MAIN(TestSprintReport)
#include "tst_sprintreport.moc"
