// The pages of an export joined into one: repeated titles as often as the page that has most of
// them, every field under its own title and occurrence, Jira's bytes kept as written. Each
// expected file is written out whole.
#include "ExportMerge.h"

#include <QTest>

class TestExportMerge : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void merged_pages_giveOneExport_data();
    void merged_pages_giveOneExport();
};

void TestExportMerge::merged_pages_giveOneExport_data()
{
    QTest::addColumn<QByteArrayList>("pages");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("a later page repeats a title more often")
        << QByteArrayList{"Key,Sprint,Sprint,Created\r\nA-1,S1,S2,d1\r\n",
                          "Key,Sprint,Sprint,Sprint,Created\r\nA-2,S1,S2,S3,d2\r\nA-3,S4,,,d3\r\n"}
        << QByteArray("Key,Sprint,Sprint,Sprint,Created\r\n"
                      "A-1,S1,S2,,d1\r\n"
                      "A-2,S1,S2,S3,d2\r\n"
                      "A-3,S4,,,d3\r\n");
    QTest::newRow("the first page repeats a title more often")
        << QByteArrayList{"Key,Sprint,Sprint,Sprint,Created\r\nA-1,S1,S2,S3,d1\r\n",
                          "Key,Sprint,Created\r\nA-2,S1,d2\r\n"}
        << QByteArray("Key,Sprint,Sprint,Sprint,Created\r\n"
                      "A-1,S1,S2,S3,d1\r\n"
                      "A-2,S1,,,d2\r\n");
    QTest::newRow("two titles, each repeated more on another page")
        << QByteArrayList{"Key,Labels,Labels,Sprint,Created\r\nA-1,L1,L2,S1,d1\r\n",
                          "Key,Labels,Sprint,Sprint,Created\r\nA-2,L3,S2,S3,d2\r\n",
                          "Key,Labels,Sprint,Created\r\nA-3,L4,S4,d3\r\n"}
        << QByteArray("Key,Labels,Labels,Sprint,Sprint,Created\r\n"
                      "A-1,L1,L2,S1,,d1\r\n"
                      "A-2,L3,,S2,S3,d2\r\n"
                      "A-3,L4,,S4,,d3\r\n");
    QTest::newRow("a title only a later page has is appended")
        << QByteArrayList{"Key,Created\r\nA-1,d1\r\n", "Key,Epic Link,Created\r\nA-2,E-1,d2\r\n"}
        << QByteArray("Key,Created,Epic Link\r\n"
                      "A-1,d1,\r\n"
                      "A-2,d2,E-1\r\n");
    QTest::newRow("a title repeated apart grows after its last occurrence")
        << QByteArrayList{"Sprint,Key,Sprint\r\nS1,A-1,S2\r\n",
                          "Sprint,Key,Sprint,Sprint\r\nS3,A-2,S4,S5\r\n"}
        << QByteArray("Sprint,Key,Sprint,Sprint\r\n"
                      "S1,A-1,S2,\r\n"
                      "S3,A-2,S4,S5\r\n");
    QTest::newRow("a page with its columns in another order")
        << QByteArrayList{"Key,Sprint,Created,Sprint\r\nA-1,S1,d1,S2\r\n",
                          "Key,Sprint,Sprint,Sprint,Created\r\nA-2,S3,S4,S5,d2\r\n"}
        << QByteArray("Key,Sprint,Created,Sprint,Sprint\r\n"
                      "A-1,S1,d1,S2,\r\n"
                      "A-2,S3,d2,S4,S5\r\n");
    QTest::newRow("quoting, commas, doubled quotes and line breaks kept as written")
        << QByteArrayList{"Summary,Sprint,Sprint\r\n\"Fix, then \"\"test\"\"\",S1,S2\r\n",
                          "Summary,Sprint\r\n\"Two\r\nlines\",\"S, 3\"\r\nplain,\"\"\r\n"}
        << QByteArray("Summary,Sprint,Sprint\r\n"
                      "\"Fix, then \"\"test\"\"\",S1,S2\r\n"
                      "\"Two\r\nlines\",\"S, 3\",\r\n"
                      "plain,\"\",\r\n");
    QTest::newRow("a quoted title is the same title unquoted")
        << QByteArrayList{"Key,\"Sprint\"\r\nA-1,S1\r\n", "Key,Sprint,Sprint\r\nA-2,S2,S3\r\n"}
        << QByteArray("Key,\"Sprint\",Sprint\r\n"
                      "A-1,S1,\r\n"
                      "A-2,S2,S3\r\n");
    QTest::newRow("records end as the first page's header does")
        << QByteArrayList{"Key,Sprint\r\nA-1,S1\r\n", "Key,Sprint,Sprint\nA-2,S2,S3\nA-3,S4,\n",
                          "Key,Sprint,Sprint\rA-4,S5,S6\r"}
        << QByteArray("Key,Sprint,Sprint\r\n"
                      "A-1,S1,\r\n"
                      "A-2,S2,S3\r\n"
                      "A-3,S4,\r\n"
                      "A-4,S5,S6\r\n");
    QTest::newRow("the first page's byte-order mark stays, later ones go")
        << QByteArrayList{"\xEF\xBB\xBFKey,Sprint\r\nA-1,S1\r\n",
                          "\xEF\xBB\xBFKey,Sprint,Sprint\r\nA-2,S2,S3\r\n"}
        << QByteArray("\xEF\xBB\xBFKey,Sprint,Sprint\r\n"
                      "A-1,S1,\r\n"
                      "A-2,S2,S3\r\n");
    QTest::newRow("a last record without its line end gets one")
        << QByteArrayList{"Key,Sprint,Sprint\r\nA-1,S1,S2", "Key,Sprint\r\nA-2,S3"}
        << QByteArray("Key,Sprint,Sprint\r\n"
                      "A-1,S1,S2\r\n"
                      "A-2,S3,\r\n");
    QTest::newRow("short records filled, fields beyond the header kept at the end")
        << QByteArrayList{"Key,Sprint,Sprint,Created\r\nA-1,S1,S2,d1\r\n",
                          "Key,Sprint,Created\r\nA-2\r\nA-3,S3,d3,extra,more\r\n"}
        << QByteArray("Key,Sprint,Sprint,Created\r\n"
                      "A-1,S1,S2,d1\r\n"
                      "A-2,,,\r\n"
                      "A-3,S3,,d3,extra,more\r\n");
    QTest::newRow("blank lines dropped from a page that is rewritten")
        << QByteArrayList{"Key,Sprint,Sprint\r\nA-1,S1,S2\r\n", "Key,Sprint\r\n\r\nA-2,S3\r\n\r\n"}
        << QByteArray("Key,Sprint,Sprint\r\n"
                      "A-1,S1,S2\r\n"
                      "A-2,S3,\r\n");
    QTest::newRow("pages without records shape nothing")
        << QByteArrayList{"Key,Sprint\r\nA-1,S1\r\n", "", "Key,Sprint,Sprint,Sprint,Epic\r\n",
                          "Key,Sprint,Sprint\r\nA-2,S2,S3\r\n"}
        << QByteArray("Key,Sprint,Sprint\r\n"
                      "A-1,S1,\r\n"
                      "A-2,S2,S3\r\n");
    QTest::newRow("one page with records comes back as it is")
        << QByteArrayList{"\xEF\xBB\xBFKey,Sprint\nA-1,S1", ""}
        << QByteArray("\xEF\xBB\xBFKey,Sprint\nA-1,S1");
    QTest::newRow("no page with records") << QByteArrayList{"", ""} << QByteArray();
}

void TestExportMerge::merged_pages_giveOneExport()
{
    QFETCH(QByteArrayList, pages);
    QFETCH(QByteArray, expected);
    QCOMPARE(ExportMerge::merged(pages), expected);
}

QTEST_GUILESS_MAIN(TestExportMerge)
#include "tst_exportmerge.moc"
