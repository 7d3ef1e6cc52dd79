#include "ExportLink.h"

#include <QUrl>
#include <QUrlQuery>

namespace ExportLink {

QString comparable(const QString &query)
{
    // Decoded first, so that an encoded "+" (%2B) and a "+" standing for a blank compare alike.
    QString text = QUrl::fromPercentEncoding(query.toUtf8());
    text.replace(QLatin1Char('+'), QLatin1Char(' '));
    return text.trimmed();
}

bool isForQuery(const QString &linkAddress, const QString &typedQuery)
{
    const QUrlQuery items(QUrl(linkAddress, QUrl::TolerantMode));
    const QString key = QStringLiteral("jqlQuery");
    if (!items.hasQueryItem(key))
        return true;
    return comparable(items.queryItemValue(key, QUrl::FullyEncoded)) == comparable(typedQuery);
}

} // namespace ExportLink
