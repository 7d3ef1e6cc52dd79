#include "KeyReplacement.h"

QString stringByReplacingKeysFromDictionary(const QString &text,
                                            const QMap<QString, QString> &dictionary)
{
    QString result = text;
    for (auto entry = dictionary.cbegin(); entry != dictionary.cend(); ++entry) {
        // An empty key would match between every two characters.
        if (!entry.key().isEmpty())
            result.replace(entry.key(), entry.value(), Qt::CaseInsensitive);
    }
    return result;
}
