// Key replacement against a plain reference: for each key in the map's order, one pass from the
// left that puts the value in place of every occurrence (ignoring letter case) and does not look
// at a value it has just put in. Input: the text on the first line, then keys and values on
// alternate lines.
#include "FuzzSupport.h"
#include "KeyReplacement.h"

#include <QStringList>

namespace {

QString replacedOnce(const QString &text, const QString &key, const QString &value)
{
    if (key.isEmpty())
        return text;
    QString result;
    for (qsizetype i = 0; i < text.size();) {
        if (i + key.size() <= text.size() &&
            QStringView(text).sliced(i, key.size()).compare(key, Qt::CaseInsensitive) == 0) {
            result += value;
            i += key.size();
        } else {
            result += text[i++];
        }
    }
    return result;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    silenceLog();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QStringList lines = textOf(data, size).split(u'\n');
    QMap<QString, QString> dictionary;
    for (qsizetype i = 1; i + 1 < lines.size(); i += 2)
        dictionary.insert(lines[i], lines[i + 1]);
    QString expected = lines.first();
    for (auto entry = dictionary.cbegin(); entry != dictionary.cend(); ++entry)
        expected = replacedOnce(expected, entry.key(), entry.value());
    const QString replaced = stringByReplacingKeysFromDictionary(lines.first(), dictionary);
    if (replaced != expected)
        broken(QStringLiteral("every key replaced in one pass, in the map's order"),
               QStringLiteral("text: %1\nresult: %2\nexpected: %3")
                   .arg(lines.first(), replaced, expected));
    return 0;
}
