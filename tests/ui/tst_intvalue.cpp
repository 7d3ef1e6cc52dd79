// Numbers read out of typed text: leading blanks, a sign, leading digits, clamped to the range.
#include "IntValue.h"

#include <QTest>

#include <limits>

class IntValueTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void intValue_readsLeadingNumber_data();
    void intValue_readsLeadingNumber();
    void integerValue_clampsToItsOwnRange();
};

void IntValueTest::intValue_readsLeadingNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint32>("expected");
    QTest::newRow("plain number") << "14" << 14;
    QTest::newRow("blanks then number then words") << " \t 21 days" << 21;
    QTest::newRow("no digits") << "abc" << 0;
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("minus sign") << "-3" << -3;
    QTest::newRow("plus sign") << "+5" << 5;
    QTest::newRow("sign alone") << "-" << 0;
    QTest::newRow("blank between sign and digits") << "- 3" << 0;
    QTest::newRow("digits after words") << "days 21" << 0;
    QTest::newRow("decimal point ends the number") << "7.9" << 7;
    QTest::newRow("leading zeros") << "007" << 7;
    QTest::newRow("largest value") << "2147483647" << std::numeric_limits<qint32>::max();
    QTest::newRow("one past largest clamps") << "2147483648" << std::numeric_limits<qint32>::max();
    QTest::newRow("smallest value") << "-2147483648" << std::numeric_limits<qint32>::min();
    QTest::newRow("far below smallest clamps")
        << "-99999999999999999999999" << std::numeric_limits<qint32>::min();
    QTest::newRow("non-ASCII digits are not digits") << QStringLiteral("\u0663") << 0;
}

void IntValueTest::intValue_readsLeadingNumber()
{
    QFETCH(QString, text);
    QFETCH(qint32, expected);
    QCOMPARE(intValue(text), expected);
}

void IntValueTest::integerValue_clampsToItsOwnRange()
{
    QCOMPARE(integerValue(u"2147483648"), qint64(2147483648));
    QCOMPARE(integerValue(u"-9223372036854775808"), std::numeric_limits<qint64>::min());
    QCOMPARE(integerValue(u"9223372036854775808"), std::numeric_limits<qint64>::max());
    QCOMPARE(integerValue(u" -14"), qint64(-14));
}

QTEST_APPLESS_MAIN(IntValueTest)
#include "tst_intvalue.moc"
