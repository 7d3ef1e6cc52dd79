#include "ExportHeader.h"

#include "CsvScanner.h"

#include <QStringDecoder>

#include <algorithm>

namespace {

constexpr QByteArrayView kCreatedTitle = "Created";
constexpr qsizetype kLetterCount = 26;
// Decoding in slices keeps the memory a single-line export needs small.
constexpr qsizetype kValidationSlice = 64 * 1024;

bool isContinuationByte(char byte)
{
    return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

// A slice end that does not cut a multi-byte sequence of valid text in two.
qsizetype sliceEnd(QByteArrayView text, qsizetype start)
{
    qsizetype end = std::min(text.size(), start + kValidationSlice);
    while (end < text.size() && end > start && isContinuationByte(text[end]))
        --end;
    return end == start ? std::min(text.size(), start + kValidationSlice) : end;
}

bool isUtf8(QByteArrayView text)
{
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    for (qsizetype start = 0; start < text.size();) {
        const qsizetype end = sliceEnd(text, start);
        const QString decoded = decoder.decode(text.sliced(start, end - start));
        if (decoder.hasError())
            return false;
        start = end;
    }
    return true;
}

// Index of the first field equal to title; "," is one byte in UTF-8 and never part of a longer
// sequence, so splitting the bytes splits the text the same way.
qsizetype fieldIndex(QByteArrayView line, QByteArrayView title)
{
    qsizetype index = 0;
    qsizetype start = 0;
    while (true) {
        const qsizetype comma = line.indexOf(',', start);
        const qsizetype end = comma < 0 ? line.size() : comma;
        if (line.sliced(start, end - start) == title)
            return index;
        if (comma < 0)
            return -1;
        start = comma + 1;
        ++index;
    }
}

} // namespace

namespace ExportHeader {

QString notFoundFormula()
{
    return QStringLiteral("\t=ROUND(K2-J2,0)");
}

QString columnLetters(qsizetype index)
{
    QString letters;
    for (qsizetype rest = index + 1; rest > 0; rest = (rest - 1) / kLetterCount)
        letters.prepend(QChar(u'A' + static_cast<char16_t>((rest - 1) % kLetterCount)));
    return letters;
}

QByteArrayView headerLine(QByteArrayView data)
{
    data = CsvScanner::withoutByteOrderMark(data);
    const auto lineEnd =
        std::find_if(data.begin(), data.end(), [](char c) { return c == '\r' || c == '\n'; });
    return data.first(lineEnd - data.begin());
}

QString cellReference(QByteArrayView data)
{
    const QByteArrayView line = headerLine(data);
    if (!isUtf8(line))
        return notFoundFormula();
    const qsizetype created = fieldIndex(line, kCreatedTitle);
    if (created < 0)
        return notFoundFormula();
    // Built by joining: the row number right after a placeholder would read as a longer one.
    return QStringLiteral("\t=ROUND(") % columnLetters(created + 1) % QStringLiteral("2-") %
           columnLetters(created) % QStringLiteral("2,0)");
}

} // namespace ExportHeader
