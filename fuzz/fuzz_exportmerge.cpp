// Merging any pages of an export. Input: the pages, separated by NUL bytes. Whatever the bytes,
// the merge ends; for pages without double quotes, where records and fields are plain to see,
// the promise is checked against an expectation worked out here: every title as often as the page
// with most of it, and every field of every record under its own title and occurrence, in order.
#include "CsvScanner.h"
#include "ExportMerge.h"
#include "FuzzSupport.h"

#include <QByteArrayList>
#include <QHash>
#include <QList>

namespace {

struct Records
{
    QByteArrayList titles;
    QList<QByteArrayList> records;
};

Records readRecords(QByteArrayView text)
{
    Records read;
    CsvScanner scanner(CsvScanner::withoutByteOrderMark(text));
    CsvFields fields;
    while (scanner.nextRecord(fields)) {
        QByteArrayList texts;
        for (const QByteArrayView field : std::as_const(fields))
            texts.append(field.toByteArray());
        if (read.titles.isEmpty() && read.records.isEmpty())
            read.titles = texts;
        else if (!CsvScanner::isBlank(fields))
            read.records.append(texts);
    }
    return read;
}

// Each title with its occurrence, "Sprint" twice being ("Sprint", 1) and ("Sprint", 2).
QList<std::pair<QByteArray, int>> occurrences(const QByteArrayList &titles)
{
    QHash<QByteArray, int> seen;
    QList<std::pair<QByteArray, int>> list;
    for (const QByteArray &title : titles)
        list.append({title, ++seen[title]});
    return list;
}

void check(const QList<Records> &pages, const Records &merged)
{
    QHash<QByteArray, int> most;
    qsizetype records = 0;
    for (const Records &page : pages) {
        for (const auto &[title, occurrence] : occurrences(page.titles))
            most[title] = std::max(most.value(title), occurrence);
        records += page.records.size();
    }
    const QList<std::pair<QByteArray, int>> columns = occurrences(merged.titles);
    for (const auto &[title, occurrence] : columns) {
        if (occurrence == 1 && merged.titles.count(title) != most.value(title))
            broken(QStringLiteral("each title as often as the page with most of it"),
                   QString::fromUtf8(title));
    }
    if (merged.records.size() != records)
        broken(QStringLiteral("every record kept"), QString::number(merged.records.size()));
    qsizetype next = 0;
    for (const Records &page : pages) {
        const QList<std::pair<QByteArray, int>> pageColumns = occurrences(page.titles);
        for (const QByteArrayList &record : page.records) {
            const QByteArrayList &out = merged.records[next++];
            for (qsizetype i = 0; i < columns.size(); ++i) {
                const qsizetype from = pageColumns.indexOf(columns[i]);
                if (out.value(i) != (from < 0 ? QByteArray() : record.value(from)))
                    broken(QStringLiteral("every field under its own title and occurrence"),
                           QString::fromUtf8(out.join(',')));
            }
            if (out.mid(columns.size()) != record.mid(pageColumns.size()))
                broken(QStringLiteral("fields beyond the header kept at the end"),
                       QString::fromUtf8(out.join(',')));
        }
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
    const QByteArrayView bytes = bytesOf(data, size);
    const QByteArrayList pages = bytes.toByteArray().split('\0');
    const QByteArray merged = ExportMerge::merged(pages);
    if (bytes.contains('"'))
        return 0;
    QList<Records> read;
    for (const QByteArray &page : pages) {
        Records records = readRecords(page);
        if (!records.records.isEmpty())
            read.append(records);
    }
    if (read.size() > 1)
        check(read, readRecords(merged));
    return 0;
}
