// Replacing keys by values throughout a text.
#pragma once

#include <QMap>
#include <QString>

// Replaces, key by key in the map's order, every occurrence of the key (ignoring letter case) by
// its value. A value is not searched again for its own key, but later keys see it. Empty keys
// are passed over.
QString stringByReplacingKeysFromDictionary(const QString &text,
                                            const QMap<QString, QString> &dictionary);
