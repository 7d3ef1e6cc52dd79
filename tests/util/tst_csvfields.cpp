// Splitting and writing delimited lines, and quoting and bracketing texts.
#include "CsvFields.h"
#include "TextQuoting.h"

#include <QTest>

using namespace Qt::StringLiterals;

using TextOperation = QString (*)(const QString &);

class TestCsvFields : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void componentsWithDelimiter_line_splitsAsQuoted_data();
    void componentsWithDelimiter_line_splitsAsQuoted();
    void componentsWithDelimiter_noLine_givesNothing();
    void componentsFromCSV_line_choosesDelimiter_data();
    void componentsFromCSV_line_choosesDelimiter();
    void csvFromComponents_fields_quotesWhereNeeded_data();
    void csvFromComponents_fields_quotesWhereNeeded();
    void csvFromComponents_plainFields_readBackUnchanged();
    void quotesAndBrackets_text_addedOrRemoved_data();
    void quotesAndBrackets_text_addedOrRemoved();
};

void TestCsvFields::componentsWithDelimiter_line_splitsAsQuoted_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("delimiter");
    QTest::addColumn<QStringList>("fields");
    QTest::newRow("empty field between delimiters")
        << u"a,,b"_s << u","_s << QStringList{u"a"_s, u""_s, u"b"_s};
    QTest::newRow("trailing delimiter") << u"a,"_s << u","_s << QStringList{u"a"_s, u""_s};
    QTest::newRow("empty line is one empty field") << u""_s << u","_s << QStringList{u""_s};
    QTest::newRow("delimiter inside quoted field")
        << u"x,\"a,b\",y"_s << u","_s << QStringList{u"x"_s, u"a,b"_s, u"y"_s};
    QTest::newRow("unclosed quote runs to the end")
        << u"x,\"a,b"_s << u","_s << QStringList{u"x"_s, u"a,b"_s};
    QTest::newRow("doubled quotes in first field")
        << u"say \"\"hi\"\" now,b"_s << u","_s << QStringList{u"say \"hi\" now"_s, u"b"_s};
    QTest::newRow("doubled quotes in middle field")
        << u"a,say \"\"hi\"\" now,b"_s << u","_s
        << QStringList{u"a"_s, u"say \"hi\" now"_s, u"b"_s};
    QTest::newRow("doubled quotes in last field")
        << u"a,say \"\"hi\"\" now"_s << u","_s << QStringList{u"a"_s, u"say \"hi\" now"_s};
    QTest::newRow("quoted field with doubled quotes and delimiter")
        << u"\"say \"\"a,b\"\" now\",c"_s << u","_s << QStringList{u"say \"a,b\" now"_s, u"c"_s};
    QTest::newRow("lone quote is a closed field")
        << u"a,\",b"_s << u","_s << QStringList{u"a"_s, u""_s, u"b"_s};
    QTest::newRow("space before quote is not quoted")
        << u"x, \"a,b\""_s << u","_s << QStringList{u"x"_s, u"a"_s, u"b"_s};
    QTest::newRow("doubled quote before delimiter closes the field")
        << u"\"a\"\",b\",c"_s << u","_s << QStringList{u"a"_s, u"b"_s, u"c"_s};
    QTest::newRow("spaces and quotes trimmed at the ends")
        << u" a , \"b\" "_s << u","_s << QStringList{u"a"_s, u"b"_s};
    QTest::newRow("semicolon delimiter")
        << u"a;\"b;c\""_s << u";"_s << QStringList{u"a"_s, u"b;c"_s};
    QTest::newRow("delimiter of two characters")
        << u"a::b::\"c::d\""_s << u"::"_s << QStringList{u"a"_s, u"b"_s, u"c::d"_s};
    QTest::newRow("empty delimiter is never found") << u"a,b"_s << u""_s << QStringList{u"a,b"_s};
}

void TestCsvFields::componentsWithDelimiter_line_splitsAsQuoted()
{
    QFETCH(QString, line);
    QFETCH(QString, delimiter);
    QFETCH(QStringList, fields);
    QCOMPARE(componentsFromCSVwithDelimiter(line, delimiter), fields);
}

void TestCsvFields::componentsWithDelimiter_noLine_givesNothing()
{
    QCOMPARE(componentsFromCSVwithDelimiter(std::nullopt, u","_s), std::nullopt);
    QCOMPARE(componentsFromCSV(std::nullopt), std::nullopt);
}

void TestCsvFields::componentsFromCSV_line_choosesDelimiter_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QStringList>("fields");
    QTest::newRow("semicolons only") << u"a;b;c"_s << QStringList{u"a"_s, u"b"_s, u"c"_s};
    QTest::newRow("equal counts, comma wins") << u"a,b;c"_s << QStringList{u"a"_s, u"b;c"_s};
    QTest::newRow("more semicolon fields win")
        << u"a;b,c;d"_s << QStringList{u"a"_s, u"b,c"_s, u"d"_s};
    QTest::newRow("whole line quoted split inside")
        << u"\"a,b,c\""_s << QStringList{u"a"_s, u"b"_s, u"c"_s};
    QTest::newRow("whole line quoted with semicolons")
        << u"\"a;b;c\""_s << QStringList{u"a"_s, u"b"_s, u"c"_s};
    QTest::newRow("quoted first field kept whole")
        << u"\"a,b\",c"_s << QStringList{u"a,b"_s, u"c"_s};
    QTest::newRow("empty line") << u""_s << QStringList{u""_s};
}

void TestCsvFields::componentsFromCSV_line_choosesDelimiter()
{
    QFETCH(QString, line);
    QFETCH(QStringList, fields);
    QCOMPARE(componentsFromCSV(line), fields);
}

void TestCsvFields::csvFromComponents_fields_quotesWhereNeeded_data()
{
    QTest::addColumn<QStringList>("components");
    QTest::addColumn<QString>("delimiter");
    QTest::addColumn<QString>("line");
    QTest::newRow("space quoted, quote doubled")
        << QStringList{u"x"_s, u"a b"_s, u"q\"r"_s} << u","_s << u"x,\"a b\",q\"\"r"_s;
    QTest::newRow("empty first component") << QStringList{u""_s, u"b"_s} << u","_s << u",b"_s;
    QTest::newRow("no components") << QStringList{} << u","_s << u""_s;
    QTest::newRow("delimiter quoted") << QStringList{u"a;b"_s} << u";"_s << u"\"a;b\""_s;
    QTest::newRow("other delimiter not quoted") << QStringList{u"a;b"_s} << u","_s << u"a;b"_s;
    QTest::newRow("quoted field trimmed at its ends")
        << QStringList{u" a,b "_s} << u","_s << u"\"a,b\""_s;
    QTest::newRow("quotes without space only doubled")
        << QStringList{u"\"q\""_s, u"x"_s} << u","_s << u"\"\"q\"\",x"_s;
    QTest::newRow("outer quotes of a quoted field dropped")
        << QStringList{u"\"a b\""_s} << u","_s << u"\"a b\""_s;
    QTest::newRow("delimiter of two characters")
        << QStringList{u"a"_s, u"b::c"_s} << u"::"_s << u"a::\"b::c\""_s;
}

void TestCsvFields::csvFromComponents_fields_quotesWhereNeeded()
{
    QFETCH(QStringList, components);
    QFETCH(QString, delimiter);
    QFETCH(QString, line);
    QCOMPARE(csvFromComponentsWithDelimiter(components, delimiter), line);
    if (delimiter == u",")
        QCOMPARE(csvFromComponents(components), line);
}

// Fields without spaces or quotes at their ends survive a write and a read.
void TestCsvFields::csvFromComponents_plainFields_readBackUnchanged()
{
    const QStringList fields{u"x"_s,   u"a b"_s, u"q\"r"_s, u""_s, u"say \"hi\" now"_s,
                             u"1,5"_s, u"z"_s};
    QCOMPARE(componentsFromCSV(csvFromComponents(fields)), fields);
    QCOMPARE(componentsFromCSVwithDelimiter(csvFromComponentsWithDelimiter(fields, u";"_s), u";"_s),
             fields);
}

void TestCsvFields::quotesAndBrackets_text_addedOrRemoved_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("add quotes replaces outer quotes and blank")
        << u"addQuotes"_s << u"\"ab\" "_s << u"\"ab\""_s;
    QTest::newRow("add quotes keeps inner quotes")
        << u"addQuotes"_s << u"a \"b\" c"_s << u"\"a \"b\" c\""_s;
    QTest::newRow("add quotes to empty text") << u"addQuotes"_s << u""_s << u"\"\""_s;
    QTest::newRow("remove quotes and blanks at both ends")
        << u"removeQuotes"_s << u" \"\"x y\"\" "_s << u"x y"_s;
    QTest::newRow("remove quotes leaves nothing of quotes only")
        << u"removeQuotes"_s << u"\" \"\""_s << u""_s;
    QTest::newRow("add brackets when not beginning with one")
        << u"addAngleBrackets"_s << u"x>"_s << u"<x>>"_s;
    QTest::newRow("add brackets leaves a leading bracket")
        << u"addAngleBrackets"_s << u"<x"_s << u"<x"_s;
    QTest::newRow("add brackets trims nothing") << u"addAngleBrackets"_s << u" x "_s << u"< x >"_s;
    QTest::newRow("remove brackets and blanks")
        << u"removeAngleBrackets"_s << u"< ab >"_s << u"ab"_s;
    QTest::newRow("remove brackets keeps inner ones")
        << u"removeAngleBrackets"_s << u"<<a<b>>"_s << u"a<b"_s;
}

void TestCsvFields::quotesAndBrackets_text_addedOrRemoved()
{
    static const QHash<QString, TextOperation> operations{
        {u"addQuotes"_s, stringByAddingQuotes},
        {u"removeQuotes"_s, stringByRemovingQuotes},
        {u"addAngleBrackets"_s, stringByAddingAngleBrackets},
        {u"removeAngleBrackets"_s, stringByRemovingAngleBrackets},
    };
    QFETCH(QString, operation);
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QVERIFY(operations.contains(operation));
    QCOMPARE(operations.value(operation)(text), expected);
}

QTEST_GUILESS_MAIN(TestCsvFields)
#include "tst_csvfields.moc"
