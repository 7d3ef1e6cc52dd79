// Reading whole CSV records as Jira writes its exports: fields separated by commas, records ended
// by CRLF, LF or CR, and fields in double quotes that may hold commas, line breaks and doubled
// quotes. Fields come back as views of the text, so a large export is never copied.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

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
    bool nextRecord(QList<QByteArrayView> &fields, bool moreToCome = false);

    // Where the next record begins.
    qsizetype position() const { return mPosition; }

    // A raw field's text: its quotes removed and doubled quotes made single.
    static QByteArray fieldText(QByteArrayView raw);

    // The text without a UTF-8 byte-order mark at its start.
    static QByteArrayView withoutByteOrderMark(QByteArrayView text);

    // True when every field of the record is empty, as for a blank line.
    static bool isBlank(const QList<QByteArrayView> &fields);

private:
    // The end of the field that starts at from, or -1 when the text ends inside its quotes.
    qsizetype fieldEnd(qsizetype from) const;

    QByteArrayView mText;
    qsizetype mPosition = 0;
};
