// Adding and removing surrounding double quotes or angle brackets, and replacing keys by values
// throughout a text.
#pragma once

#include <QMap>
#include <QString>

// The text with every space and double quote removed from both ends.
QString stringByRemovingQuotes(const QString &text);

// The text trimmed as by stringByRemovingQuotes, then wrapped in one pair of double quotes.
QString stringByAddingQuotes(const QString &text);

// The text with every space, "<" and ">" removed from both ends.
QString stringByRemovingAngleBrackets(const QString &text);

// The text wrapped in "<" and ">" unless it already begins with "<"; nothing is trimmed.
QString stringByAddingAngleBrackets(const QString &text);

// Replaces, key by key in the map's order, every occurrence of the key (ignoring letter case) by
// its value. A value is not searched again for its own key, but later keys see it. Empty keys
// are passed over.
QString stringByReplacingKeysFromDictionary(const QString &text,
                                            const QMap<QString, QString> &dictionary);
