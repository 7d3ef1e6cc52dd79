// Any bytes as an export: the records read a piece at a time equal those read at once, whatever
// the piece size; their count equals a count made byte by byte; and the sprint report's counts
// and numbers hold together.
#include "CsvRecordStream.h"
#include "CsvScanner.h"
#include "ExportAnalysis.h"
#include "FuzzSupport.h"

#include <QBuffer>

#include <limits>

namespace {

QByteArrayList copied(const CsvFields &fields)
{
    QByteArrayList copies;
    for (const QByteArrayView field : fields)
        copies.append(field.toByteArray());
    return copies;
}

QList<QByteArrayList> recordsOf(CsvScanner &&scanner)
{
    QList<QByteArrayList> records;
    CsvFields fields;
    while (scanner.nextRecord(fields))
        records.append(copied(fields));
    return records;
}

QList<QByteArrayList> streamedRecordsOf(const QByteArray &bytes, qsizetype chunk)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    CsvRecordStream stream(buffer, chunk);
    QList<QByteArrayList> records;
    CsvFields fields;
    while (stream.nextRecord(fields))
        records.append(copied(fields));
    return records;
}

// The records that hold text, counted a byte at a time: a quote anywhere opens or closes a quoted
// stretch, and a line end outside one ends a record that has any byte before it.
qsizetype recordsByteByByte(QByteArrayView text)
{
    qsizetype records = 0;
    bool quoted = false;
    bool recordHasText = false;
    for (const char c : text) {
        if (c == '"')
            quoted = !quoted;
        if (!quoted && (c == '\n' || c == '\r')) {
            records += recordHasText ? 1 : 0;
            recordHasText = false;
            continue;
        }
        recordHasText = true;
    }
    return records + (recordHasText ? 1 : 0);
}

void checkReport(const SprintReport &report)
{
    if (report.outcome != SprintReport::Outcome::Ready)
        return;
    if (report.done + report.open + report.unusable != report.issues ||
        report.rows.size() != report.issues)
        broken(QStringLiteral("every issue is done, open or without a span, and listed"),
               QStringLiteral("%1 issues").arg(report.issues));
    if (!report.statistics != (report.done == 0))
        broken(QStringLiteral("numbers exist exactly when an issue is done"), {});
    if (report.statistics) {
        const SpanStatistics &numbers = *report.statistics;
        if (numbers.median < 0 || numbers.median > numbers.percentile85 ||
            numbers.percentile85 > double(numbers.maximum) || numbers.mean > numbers.maximum)
            broken(QStringLiteral("0 <= median <= 85th percentile <= maximum"),
                   report.summaryLine());
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    silenceLog();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const auto whole = recordsOf(CsvScanner(CsvScanner::withoutByteOrderMark(bytes)));
    const qsizetype chunk = size > 0 ? 4 + data[0] % 61 : 4;
    if (streamedRecordsOf(bytes, chunk) != whole)
        broken(QStringLiteral("records read in pieces equal those read at once"),
               QStringLiteral("piece size %1").arg(chunk));
    const qsizetype records = recordsByteByByte(bytes);
    if (CsvScanner::countRecords(bytes, std::numeric_limits<qsizetype>::max()) != records)
        broken(QStringLiteral("records counted 64 bytes at a time equal those counted bytewise"),
               QStringLiteral("%1 records").arg(records));
    checkReport(ExportAnalysis::ofData(bytes));
    return 0;
}
