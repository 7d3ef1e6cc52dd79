// Replacing keys by values throughout a text.
#include "KeyReplacement.h"

#include <QTest>

using namespace Qt::StringLiterals;

using Dictionary = QMap<QString, QString>;

class KeyReplacementTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void replacingKeys_dictionary_replacesIgnoringCase_data();
    void replacingKeys_dictionary_replacesIgnoringCase();
};

void KeyReplacementTest::replacingKeys_dictionary_replacesIgnoringCase_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<Dictionary>("dictionary");
    QTest::addColumn<QString>("expected");
    QTest::newRow("key in other case")
        << u"Hello NAME"_s << Dictionary{{u"name"_s, u"Ann"_s}} << u"Hello Ann"_s;
    QTest::newRow("every occurrence") << u"a A a"_s << Dictionary{{u"a"_s, u"b"_s}} << u"b b b"_s;
    QTest::newRow("replacement not searched again for its key")
        << u"x"_s << Dictionary{{u"x"_s, u"xx"_s}} << u"xx"_s;
    QTest::newRow("later key sees earlier replacement")
        << u"a"_s << Dictionary{{u"a"_s, u"b"_s}, {u"b"_s, u"c"_s}} << u"c"_s;
    QTest::newRow("empty key passed over") << u"abc"_s << Dictionary{{u""_s, u"Z"_s}} << u"abc"_s;
    QTest::newRow("no keys") << u"abc"_s << Dictionary{} << u"abc"_s;
}

void KeyReplacementTest::replacingKeys_dictionary_replacesIgnoringCase()
{
    QFETCH(QString, text);
    QFETCH(Dictionary, dictionary);
    QFETCH(QString, expected);
    QCOMPARE(stringByReplacingKeysFromDictionary(text, dictionary), expected);
}

QTEST_GUILESS_MAIN(KeyReplacementTest)
#include "tst_keyreplacement.moc"
