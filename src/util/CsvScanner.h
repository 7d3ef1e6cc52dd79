// Reading whole CSV records as Jira writes its exports: fields separated by commas, records ended
// by CRLF, LF or CR, and fields in double quotes that may hold commas, line breaks and doubled
// quotes. Fields come back as views of the text, so a large export is never copied.
//
// A double quote anywhere opens or closes a quoted stretch, as the status line's record count
// takes it; a well-formed export quotes every field that holds one. The text is classified 64
// bytes at a time, so that a record's many short fields cost no branch each.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

#include <cstdint>
#include <vector>

// One record's raw fields, views of the text scanned. A plain vector, as appending to it is the
// innermost step of reading an export.
using CsvFields = std::vector<QByteArrayView>;

class CsvScanner
{
public:
    explicit CsvScanner(QByteArrayView text)
        : mText(text)
    {
    }

    // The next record's fields, raw: quotes and doubled quotes as written. False when the text
    // has no further record, or, with moreToCome, when the rest may be continued by text not yet
    // read (the position then stays at that record's start).
    bool nextRecord(CsvFields &fields, bool moreToCome = false);

    // Where the next record begins.
    qsizetype position() const { return mPosition; }

    // How many records hold text (blank lines hold none), without splitting them into fields.
    // Counting stops once more than atMost are found; the count then exceeds atMost.
    static qsizetype countRecords(QByteArrayView text, qsizetype atMost);

    // A raw field's text: its quotes removed and doubled quotes made single.
    static QByteArray fieldText(QByteArrayView raw);
    // Appends a raw field's text to text; returns how many bytes that added.
    static qsizetype appendFieldText(QByteArray &text, QByteArrayView raw);

    // The text without a UTF-8 byte-order mark at its start.
    static QByteArrayView withoutByteOrderMark(QByteArrayView text);

    // True when every field of the record is empty, as for a blank line.
    static bool isBlank(const CsvFields &fields);

private:
    // The position of the next comma or line end outside quotes, or -1 at the end of the text.
    qsizetype nextSeparator();
    // Classifies the next 64 bytes; false when the text has no more.
    bool classifyNextBlock();
    // Classification starts again at the next record's start.
    void restartBlocks();

    QByteArrayView mText;
    qsizetype mPosition = 0;
    // The block classified last: where it starts, its separators not yet taken, and whether
    // the text after it begins inside quotes (all ones) or not.
    qsizetype mBlockStart = -1;
    std::uint64_t mSeparators = 0;
    std::uint64_t mInsideAfterBlock = 0;
};
