#include "ExportMerge.h"

#include "CsvScanner.h"

#include <QHash>

#include <algorithm>
#include <cstring>

namespace {

// A column of the merged header: its title's text, which is what makes two titles the same, and
// the title as a page wrote it.
struct Column
{
    QByteArray text;
    QByteArrayView raw;
};

// Page columns from pageFirst on that land side by side on the merged columns from mergedFirst
// on, so that a record's fields there are copied in one piece, commas and all.
struct Run
{
    qsizetype pageFirst = 0;
    qsizetype count = 0;
    qsizetype mergedFirst = 0;
};

struct Page
{
    QByteArrayView byteOrderMark;
    CsvFields titles;
    QList<QByteArray> titleTexts;
    QByteArrayView lineEnd;
    // Everything after the header line.
    QByteArrayView records;
    bool hasRecords = false;
    QList<Run> runs;
};

qsizetype fieldCount(const CsvFields &fields)
{
    return static_cast<qsizetype>(fields.size());
}

bool holdsRecords(QByteArrayView records)
{
    CsvScanner scanner(records);
    CsvFields fields;
    while (scanner.nextRecord(fields)) {
        if (!CsvScanner::isBlank(fields))
            return true;
    }
    return false;
}

Page readPage(QByteArrayView bytes)
{
    Page page;
    const QByteArrayView text = CsvScanner::withoutByteOrderMark(bytes);
    page.byteOrderMark = bytes.first(bytes.size() - text.size());
    CsvScanner scanner(text);
    if (!scanner.nextRecord(page.titles))
        return page;
    const QByteArrayView lastTitle = page.titles.back();
    const qsizetype headerEnd = lastTitle.data() + lastTitle.size() - text.data();
    page.lineEnd = text.sliced(headerEnd, scanner.position() - headerEnd);
    page.records = text.sliced(scanner.position());
    page.hasRecords = holdsRecords(page.records);
    for (const QByteArrayView title : std::as_const(page.titles))
        page.titleTexts.append(CsvScanner::fieldText(title));
    return page;
}

// Where the title stands for the given time (from 1), or -1.
qsizetype occurrenceIndex(const QList<Column> &columns, const QByteArray &text,
                          qsizetype occurrence)
{
    for (qsizetype i = 0; i < columns.size(); ++i) {
        if (columns[i].text == text && --occurrence == 0)
            return i;
    }
    return -1;
}

// Each title as often as the page that repeats it most. A further occurrence goes after the
// title's last one, and after the column its page has before it; a title new to the header goes
// at its end.
QList<Column> mergedColumns(const QList<Page> &pages)
{
    QList<Column> columns;
    QHash<QByteArray, qsizetype> counts;
    for (const Page &page : pages) {
        QHash<QByteArray, qsizetype> seen;
        qsizetype previous = -1;
        for (qsizetype i = 0; i < fieldCount(page.titles); ++i) {
            const QByteArray &text = page.titleTexts[i];
            const qsizetype occurrence = ++seen[text];
            qsizetype &count = counts[text];
            if (occurrence <= count) {
                previous = occurrenceIndex(columns, text, occurrence);
                continue;
            }
            previous = count == 0 ? columns.size()
                                  : std::max(previous, occurrenceIndex(columns, text, count)) + 1;
            columns.insert(previous, {text, page.titles[i]});
            count = occurrence;
        }
    }
    return columns;
}

QList<Run> runsOf(const Page &page, const QHash<QByteArray, QList<qsizetype>> &positions)
{
    QList<Run> runs;
    QHash<QByteArray, qsizetype> seen;
    for (qsizetype i = 0; i < fieldCount(page.titles); ++i) {
        const QByteArray &text = page.titleTexts[i];
        const qsizetype merged = positions.value(text).value(seen[text]++);
        if (!runs.isEmpty() && runs.constLast().pageFirst + runs.constLast().count == i &&
            runs.constLast().mergedFirst + runs.constLast().count == merged) {
            ++runs.last().count;
        } else {
            runs.append({i, 1, merged});
        }
    }
    std::sort(runs.begin(), runs.end(),
              [](const Run &a, const Run &b) { return a.mergedFirst < b.mergedFirst; });
    return runs;
}

// The fields from first on, count of them, with the commas between them, as the page has them.
QByteArrayView span(const CsvFields &fields, qsizetype first, qsizetype count)
{
    const QByteArrayView last = fields[first + count - 1];
    return QByteArrayView(fields[first].data(), last.data() + last.size() - fields[first].data());
}

// Writes records into the output's reserved room through a cursor of its own: a record is a
// dozen small pieces, and appending each to the array costs more than copying it.
class RecordWriter
{
public:
    RecordWriter(QByteArray &out, qsizetype width, QByteArrayView lineEnd)
        : mOut(out)
        , mWidth(width)
        , mLineEnd(lineEnd)
    {
    }
    ~RecordWriter() { settle(); }
    Q_DISABLE_COPY_MOVE(RecordWriter)

    void appendRecords(const Page &page)
    {
        // A page laid out as the merged header is copied whole.
        if (page.runs.size() == 1 && fieldCount(page.titles) == mWidth &&
            page.runs[0].mergedFirst == 0 && page.lineEnd == mLineEnd) {
            makeRoom(page.records.size() + mLineEnd.size(), 0);
            put(page.records);
            if (!page.records.isEmpty() && !page.records.endsWith(mLineEnd))
                put(mLineEnd);
            return;
        }
        CsvScanner scanner(page.records);
        CsvFields fields;
        while (scanner.nextRecord(fields)) {
            if (!CsvScanner::isBlank(fields))
                appendRecord(fields, page, page.records.size() - scanner.position());
        }
    }

private:
    void appendRecord(const CsvFields &fields, const Page &page, qsizetype rest)
    {
        // At most the record's own bytes, a comma for each merged column and one for the fields
        // beyond its page's header, and the line end.
        makeRoom(span(fields, 0, fieldCount(fields)).size() + mWidth + 1 + mLineEnd.size(), rest);
        qsizetype written = 0;
        for (const Run &run : page.runs) {
            const qsizetype present = std::min(run.count, fieldCount(fields) - run.pageFirst);
            if (present <= 0)
                continue;
            // Empty fields up to the run, then the comma before it.
            putCommas(run.mergedFirst - written - (written == 0 ? 1 : 0));
            if (run.mergedFirst > 0)
                put(",");
            put(span(fields, run.pageFirst, present));
            written = run.mergedFirst + present;
        }
        putCommas(mWidth - written - (written == 0 ? 1 : 0));
        const qsizetype pageWidth = fieldCount(page.titles);
        if (fieldCount(fields) > pageWidth) {
            put(",");
            put(span(fields, pageWidth, fieldCount(fields) - pageWidth));
        }
        put(mLineEnd);
    }

    void put(QByteArrayView bytes)
    {
        std::memcpy(mCursor, bytes.data(), static_cast<size_t>(bytes.size()));
        mCursor += bytes.size();
    }

    void putCommas(qsizetype count)
    {
        if (count <= 0)
            return;
        std::memset(mCursor, ',', static_cast<size_t>(count));
        mCursor += count;
    }

    // Makes sure of room for the next record; when the first guess was short, the output grows
    // by what the rest of the page may need.
    void makeRoom(qsizetype record, qsizetype restOfPage)
    {
        if (mEnd - mCursor >= record)
            return;
        settle();
        mOut.reserve(mOut.size() + record + restOfPage + restOfPage / 16);
        mCursor = mOut.data() + mOut.size();
        mEnd = mOut.data() + mOut.capacity();
    }

    // The array's size follows the cursor.
    void settle()
    {
        if (mCursor)
            mOut.resize(mCursor - mOut.constData());
    }

    QByteArray &mOut;
    const qsizetype mWidth;
    const QByteArrayView mLineEnd;
    char *mCursor = nullptr;
    char *mEnd = nullptr;
};

QByteArray headerLine(const Page &first, const QList<Column> &columns)
{
    QByteArray header = first.byteOrderMark.toByteArray();
    for (qsizetype i = 0; i < columns.size(); ++i) {
        if (i > 0)
            header.append(',');
        header.append(columns[i].raw);
    }
    return header.append(first.lineEnd);
}

} // namespace

namespace ExportMerge {

QByteArray merged(QList<QByteArray> pages)
{
    QList<Page> read;
    QList<qsizetype> sources;
    for (qsizetype i = 0; i < pages.size(); ++i) {
        Page page = readPage(pages[i]);
        if (page.hasRecords) {
            read.append(std::move(page));
            sources.append(i);
        }
    }
    if (read.size() <= 1)
        return pages.value(sources.value(0));

    const QList<Column> columns = mergedColumns(read);
    QHash<QByteArray, QList<qsizetype>> positions;
    for (qsizetype i = 0; i < columns.size(); ++i)
        positions[columns[i].text].append(i);
    for (Page &page : read)
        page.runs = runsOf(page, positions);

    QByteArray out = headerLine(read.constFirst(), columns);
    // One allocation for the whole export, with room for the commas of the columns some pages
    // lack; only a page of very narrow records needs more.
    qsizetype records = 0;
    for (const Page &page : std::as_const(read))
        records += page.records.size();
    out.reserve(out.size() + records + records / 16);
    {
        // The line end outlives the first page.
        const QByteArray lineEnd = read.constFirst().lineEnd.toByteArray();
        RecordWriter writer(out, columns.size(), lineEnd);
        for (qsizetype i = 0; i < read.size(); ++i) {
            writer.appendRecords(read[i]);
            pages[sources[i]] = QByteArray();
        }
    }
    // The room kept for commas that were not needed goes back.
    out.squeeze();
    return out;
}

} // namespace ExportMerge
