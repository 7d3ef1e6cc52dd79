#include "ExportRecords.h"

#include "CsvScanner.h"

#include <QUrlQuery>

#include <algorithm>

namespace {

constexpr qsizetype kJiraExportCap = 1000;

} // namespace

namespace ExportRecords {

qsizetype issueCount(QByteArrayView data, qsizetype limit)
{
    // The first record is the header.
    const qsizetype records = CsvScanner::countRecords(data, limit + 1);
    return records > 0 ? std::min(records - 1, limit + 1) : 0;
}

qsizetype exportCap(const QUrl &address)
{
    bool ok = false;
    const qsizetype cap =
        QUrlQuery(address).queryItemValue(QStringLiteral("tempMax")).toLongLong(&ok);
    return ok && cap > 0 ? cap : kJiraExportCap;
}

} // namespace ExportRecords
