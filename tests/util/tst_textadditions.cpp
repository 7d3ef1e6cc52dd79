// Percent-encoding, phone-label keys, case-insensitive tests and the MD5 digest.
#include "TextAdditions.h"

#include <QCoreApplication>
#include <QTest>
#include <QTranslator>

using namespace Qt::StringLiterals;

namespace {

// Stands in a result that is nothing.
const QString nothing = u"(nothing)"_s;

// A translation of two labels, as a user's language would bring.
class LabelTranslator final : public QTranslator
{
public:
    QString translate(const char *context, const char *sourceText, const char *disambiguation,
                      int n) const override
    {
        Q_UNUSED(disambiguation)
        Q_UNUSED(n)
        if (qstrcmp(context, "PhoneLabel") != 0)
            return QString();
        if (qstrcmp(sourceText, "mobile") == 0)
            return u"Handy"_s;
        if (qstrcmp(sourceText, "work") == 0)
            return u"Arbeit"_s;
        return QString();
    }
    bool isEmpty() const override { return false; }
};

} // namespace

class TestTextAdditions : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void urlEncoding_text_escapesAllButUnreserved_data();
    void urlEncoding_text_escapesAllButUnreserved();
    void urlDecoding_text_decodesOrGivesNothing_data();
    void urlDecoding_text_decodesOrGivesNothing();
    void labelKey_text_nameAndLabelCode_data();
    void labelKey_text_nameAndLabelCode();
    void labelKey_translatedLabels_matchTranslation();
    void compareCID_texts_orderByLabelKey_data();
    void compareCID_texts_orderByLabelKey();
    void caseInsensitiveTests_texts_ignoreCase();
    void hexMd5_text_digestsUtf16LittleEndian_data();
    void hexMd5_text_digestsUtf16LittleEndian();
};

void TestTextAdditions::urlEncoding_text_escapesAllButUnreserved_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("space and slash escaped, tilde kept") << u"a b/c~d"_s << u"a%20b%2Fc~d"_s;
    QTest::newRow("two-byte character") << u"ä"_s << u"%C3%A4"_s;
    QTest::newRow("character beyond 16 bits") << u"😀"_s << u"%F0%9F%98%80"_s;
    QTest::newRow("reserved characters escaped")
        << u"!*'();:@&=+$,/?%#[]"_s
        << u"%21%2A%27%28%29%3B%3A%40%26%3D%2B%24%2C%2F%3F%25%23%5B%5D"_s;
    QTest::newRow("unreserved characters kept") << u"AZaz09-._~"_s << u"AZaz09-._~"_s;
    QTest::newRow("empty text") << u""_s << u""_s;
}

void TestTextAdditions::urlEncoding_text_escapesAllButUnreserved()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(stringByURLEncoding(text), expected);
}

void TestTextAdditions::urlDecoding_text_decodesOrGivesNothing_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("escape and nbsp become spaces") << u"a%20b&nbsp;c"_s << u"a b c"_s;
    QTest::newRow("plus stays") << u"a+b"_s << u"a+b"_s;
    QTest::newRow("upper-case nbsp stays") << u"a&NBSP;b"_s << u"a&NBSP;b"_s;
    QTest::newRow("escaped nbsp becomes a space too") << u"a%26nbsp;b"_s << u"a b"_s;
    QTest::newRow("UTF-8 bytes in either case") << u"%C3%A4%c3%a4"_s << u"ää"_s;
    QTest::newRow("decoded percent not decoded again") << u"%2541"_s << u"%41"_s;
    QTest::newRow("unescaped non-ASCII kept") << u"ä b"_s << u"ä b"_s;
    QTest::newRow("non-hex escape") << u"%ZZ"_s << nothing;
    QTest::newRow("lone percent at the end") << u"a%"_s << nothing;
    QTest::newRow("one digit escape") << u"%4"_s << nothing;
    QTest::newRow("truncated UTF-8 sequence") << u"%C3"_s << nothing;
    QTest::newRow("byte never in UTF-8") << u"%FF"_s << nothing;
    QTest::newRow("overlong UTF-8") << u"%C0%AF"_s << nothing;
    QTest::newRow("encoded surrogate") << u"%ED%A0%80"_s << nothing;
}

void TestTextAdditions::urlDecoding_text_decodesOrGivesNothing()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(stringByURLDecoding(text).value_or(nothing), expected);
}

void TestTextAdditions::labelKey_text_nameAndLabelCode_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("key");
    QTest::newRow("mobile") << u"Ann Lee: 555 0100 [mobile]"_s << u"Ann Lee04"_s;
    QTest::newRow("label in other case") << u"Ann Lee: 555 0100 [Work]"_s << u"Ann Lee01"_s;
    QTest::newRow("unknown label kept with bracket")
        << u"Ann Lee: 555 0100 [fax]"_s << u"Ann Leefax]"_s;
    QTest::newRow("no bracket keyed by name") << u"Ann Lee: 555 0100"_s << u"Ann Lee"_s;
    QTest::newRow("no colon is its own key") << u"Ann Lee [home]"_s << u"Ann Lee [home]"_s;
    QTest::newRow("home fax found as home") << u"Bo: 1 [home fax]"_s << u"Bo02"_s;
    QTest::newRow("work fax found as work") << u"Bo: 1 [work fax]"_s << u"Bo01"_s;
    QTest::newRow("iPhone ignoring case") << u"Bo: 1 [IPHONE]"_s << u"Bo03"_s;
    QTest::newRow("last label table entry") << u"Bo: 1 [vacation]"_s << u"Bo10"_s;
    QTest::newRow("last bracket decides") << u"Bo: 1 [work] [other]"_s << u"Bo09"_s;
    QTest::newRow("first colon ends the name") << u"Bo: 1: 2 [pager]"_s << u"Bo08"_s;
    QTest::newRow("empty label text") << u"Bo: 1 ["_s << u"Bo"_s;
}

void TestTextAdditions::labelKey_text_nameAndLabelCode()
{
    QFETCH(QString, text);
    QFETCH(QString, key);
    QCOMPARE(compareStringForCID(text), key);
}

void TestTextAdditions::labelKey_translatedLabels_matchTranslation()
{
    LabelTranslator translator;
    QVERIFY(QCoreApplication::installTranslator(&translator));
    const QString translatedMobile = compareStringForCID(u"Ann: 1 [Handy]"_s);
    const QString untranslatedWork = compareStringForCID(u"Ann: 1 [work]"_s);
    const QString untouchedHome = compareStringForCID(u"Ann: 1 [home]"_s);
    QCoreApplication::removeTranslator(&translator);
    QCOMPARE(translatedMobile, u"Ann04"_s);
    QCOMPARE(untranslatedWork, u"Annwork]"_s);
    QCOMPARE(untouchedHome, u"Ann02"_s);
}

void TestTextAdditions::compareCID_texts_orderByLabelKey_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("other");
    QTest::addColumn<int>("order");
    QTest::newRow("mobile before pager")
        << u"Ann Lee: 1 [mobile]"_s << u"Ann Lee: 2 [pager]"_s << -1;
    QTest::newRow("pager after mobile") << u"Ann Lee: 2 [pager]"_s << u"Ann Lee: 1 [mobile]"_s << 1;
    QTest::newRow("same label same name") << u"Bo: 1 [home]"_s << u"Bo: 2 [home]"_s << 0;
    QTest::newRow("upper case before lower case") << u"Ann: 1"_s << u"ann: 1"_s << -1;
    QTest::newRow("name decides before label") << u"Al: 1 [other]"_s << u"Bo: 1 [work]"_s << -1;
}

void TestTextAdditions::compareCID_texts_orderByLabelKey()
{
    QFETCH(QString, text);
    QFETCH(QString, other);
    QFETCH(int, order);
    const std::strong_ordering result = compareCID(text, other);
    QCOMPARE(result < 0 ? -1 : (result > 0 ? 1 : 0), order);
}

void TestTextAdditions::caseInsensitiveTests_texts_ignoreCase()
{
    QVERIFY(caseInsensitiveIsEqualToString(u"Work"_s, u"wORK"_s));
    QVERIFY(caseInsensitiveIsEqualToString(u"ÄRGER"_s, u"ärger"_s));
    QVERIFY(!caseInsensitiveIsEqualToString(u"Work"_s, u"Works"_s));
    QVERIFY(containsString(u"Home Fax"_s, u"fax"_s));
    QVERIFY(!containsString(u"Home Fax"_s, u"faxes"_s));
    QVERIFY(!containsString(u"Home Fax"_s, u""_s));
    QVERIFY(!containsString(u""_s, u""_s));
}

void TestTextAdditions::hexMd5_text_digestsUtf16LittleEndian_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("digest");
    QTest::newRow("abc") << u"abc"_s << u"ce1473cf80c6b3fda8e3dfc006adc315"_s;
    QTest::newRow("empty text") << u""_s << u"d41d8cd98f00b204e9800998ecf8427e"_s;
    QTest::newRow("non-ASCII character") << u"ä"_s << u"dfe7308c9e9895b3c293b84c1dd4c2c8"_s;
    QTest::newRow("surrogate pair") << u"😀"_s << u"713b431f5caa0d142bea157989c96852"_s;
    QTest::newRow("unpaired surrogate digested as it stands")
        << QString(QChar(0xD800)) << u"edcd2cc0bd7e607a4512f5c0683f4fb2"_s;
}

void TestTextAdditions::hexMd5_text_digestsUtf16LittleEndian()
{
    QFETCH(QString, text);
    QFETCH(QString, digest);
    QCOMPARE(hex_md5(text), digest);
}

QTEST_GUILESS_MAIN(TestTextAdditions)
#include "tst_textadditions.moc"
