#include "ExportRecords.h"

#include <QUrlQuery>

namespace {

constexpr qsizetype kJiraExportCap = 1000;

} // namespace

namespace ExportRecords {

qsizetype issueCount(QByteArrayView data, qsizetype limit)
{
    qsizetype records = 0;
    bool quoted = false;
    bool recordHasText = false;
    for (const char c : data) {
        if (c == '"')
            quoted = !quoted;
        if (!quoted && (c == '\n' || c == '\r')) {
            records += recordHasText ? 1 : 0;
            recordHasText = false;
            // The header is one of the records.
            if (records > limit + 1)
                return records - 1;
            continue;
        }
        recordHasText = true;
    }
    records += recordHasText ? 1 : 0;
    // The first record is the header.
    return records > 0 ? records - 1 : 0;
}

qsizetype exportCap(const QUrl &address)
{
    bool ok = false;
    const qsizetype cap =
        QUrlQuery(address).queryItemValue(QStringLiteral("tempMax")).toLongLong(&ok);
    return ok && cap > 0 ? cap : kJiraExportCap;
}

} // namespace ExportRecords
