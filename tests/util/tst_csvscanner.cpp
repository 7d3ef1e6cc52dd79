// Whole CSV records as Jira writes them, from memory and from a file read a piece at a time.
#include "CsvRecordStream.h"
#include "CsvScanner.h"

#include <QBuffer>
#include <QTest>

using Records = QList<QByteArrayList>;

namespace {

// Every record's fields as text, from anything with nextRecord(fields).
template<typename Reader> Records readAll(Reader &reader)
{
    Records records;
    CsvFields fields;
    while (reader.nextRecord(fields)) {
        QByteArrayList texts;
        for (const QByteArrayView field : fields)
            texts.append(CsvScanner::fieldText(field));
        records.append(texts);
    }
    return records;
}

Records scanAll(QByteArrayView text)
{
    CsvScanner scanner(CsvScanner::withoutByteOrderMark(text));
    return readAll(scanner);
}

Records streamAll(const QByteArray &text, qsizetype chunkSize)
{
    QBuffer buffer;
    buffer.setData(text);
    buffer.open(QIODevice::ReadOnly);
    CsvRecordStream stream(buffer, chunkSize);
    return readAll(stream);
}

} // namespace

class TestCsvScanner : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void nextRecord_text_givesFields_data();
    void nextRecord_text_givesFields();
    void nextRecord_moreToCome_waitsForTheRecordsEnd_data();
    void nextRecord_moreToCome_waitsForTheRecordsEnd();
    void recordStream_anyChunkSize_readsAsAWhole();
};

void TestCsvScanner::nextRecord_text_givesFields_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<Records>("records");
    QTest::newRow("LF ends records") << QByteArray("a,b\nc,d\n") << Records{{"a", "b"}, {"c", "d"}};
    QTest::newRow("CRLF ends records")
        << QByteArray("a,b\r\nc,d\r\n") << Records{{"a", "b"}, {"c", "d"}};
    QTest::newRow("lone CR ends a record")
        << QByteArray("a,b\rc,d") << Records{{"a", "b"}, {"c", "d"}};
    QTest::newRow("last record without a line end")
        << QByteArray("a\nb,c") << Records{{"a"}, {"b", "c"}};
    QTest::newRow("quoted comma, CRLF and doubled quotes")
        << QByteArray("\"x, y\",\"line 1\r\nline 2\",\"say \"\"hi\"\"\"\r\nz\r\n")
        << Records{{"x, y", "line 1\r\nline 2", "say \"hi\""}, {"z"}};
    QTest::newRow("byte-order mark before the first title")
        << QByteArray("\xEF\xBB\xBFSummary,Created\n") << Records{{"Summary", "Created"}};
    QTest::newRow("empty fields and a trailing comma")
        << QByteArray(",a,,\n") << Records{{"", "a", "", ""}};
    QTest::newRow("blank line is a record of one empty field")
        << QByteArray("a\n\nb\n") << Records{{"a"}, {""}, {"b"}};
    QTest::newRow("text after a closing quote stays in the field")
        << QByteArray("\"ab\"cd,e\n") << Records{{"abcd", "e"}};
    QTest::newRow("quotes inside a field still quote, as the record count takes them")
        << QByteArray("a,b\"c,d\"e,f\n") << Records{{"a", "bc,de", "f"}};
    QTest::newRow("fields across 64-byte blocks")
        << QByteArray(70, 'x') + ",\"" + QByteArray(60, ',') + "\"\r\n" + QByteArray(63, 'y') +
               "\r\nz"
        << Records{{QByteArray(70, 'x'), QByteArray(60, ',')}, {QByteArray(63, 'y')}, {"z"}};
    QTest::newRow("unclosed quote runs to the end")
        << QByteArray("a,\"b\nc") << Records{{"a", "b\nc"}};
    QTest::newRow("empty text has no record") << QByteArray() << Records{};
}

void TestCsvScanner::nextRecord_text_givesFields()
{
    QFETCH(QByteArray, text);
    QFETCH(Records, records);
    QCOMPARE(scanAll(text), records);
}

void TestCsvScanner::nextRecord_moreToCome_waitsForTheRecordsEnd_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<qsizetype>("complete");
    QTest::newRow("unfinished last field") << QByteArray("a,b\nc,d") << qsizetype(4);
    QTest::newRow("CR that a LF may follow") << QByteArray("a,b\r\nc\r") << qsizetype(5);
    QTest::newRow("open quote") << QByteArray("a\n\"b\nc") << qsizetype(2);
    QTest::newRow("all records ended") << QByteArray("a\nb\n") << qsizetype(4);
}

void TestCsvScanner::nextRecord_moreToCome_waitsForTheRecordsEnd()
{
    QFETCH(QByteArray, text);
    QFETCH(qsizetype, complete);
    CsvScanner scanner(text);
    CsvFields fields;
    while (scanner.nextRecord(fields, true)) {
    }
    QCOMPARE(scanner.position(), complete);
    QVERIFY(fields.empty());
}

void TestCsvScanner::recordStream_anyChunkSize_readsAsAWhole()
{
    // Every piece boundary falls somewhere awkward for some size: inside quotes, between CR and
    // LF, inside the byte-order mark's record, inside a field longer than the piece.
    const QByteArray text = "\xEF\xBB\xBFKey,Summary,Created\r\n"
                            "A-1,\"two\r\nlines, \"\"quoted\"\"\",17/Feb/20 8:05 AM\r\n"
                            "A-2,plain,\r\n"
                            "A-3,\"" +
                            QByteArray(300, 'x') + "\",2020-02-01\rA-4,\"\"\"\",x";
    const Records whole = scanAll(text);
    QCOMPARE(whole.size(), 5);
    for (qsizetype chunk = 1; chunk <= text.size() + 1; ++chunk)
        QCOMPARE(streamAll(text, chunk), whole);
}

QTEST_GUILESS_MAIN(TestCsvScanner)
#include "tst_csvscanner.moc"
