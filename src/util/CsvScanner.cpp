#include "CsvScanner.h"

#include <array>
#include <cstring>

namespace {

// The bytes that end an unquoted field.
constexpr std::array<bool, 256> kFieldEnds = [] {
    std::array<bool, 256> ends{};
    ends[static_cast<unsigned char>(',')] = true;
    ends[static_cast<unsigned char>('\n')] = true;
    ends[static_cast<unsigned char>('\r')] = true;
    return ends;
}();

bool isFieldEnd(char c)
{
    return kFieldEnds[static_cast<unsigned char>(c)];
}

} // namespace

bool CsvScanner::nextRecord(QList<QByteArrayView> &fields, bool moreToCome)
{
    fields.clear();
    const qsizetype size = mText.size();
    if (mPosition >= size)
        return false;
    qsizetype at = mPosition;
    for (;;) {
        const qsizetype end = fieldEnd(at);
        if (end < 0 || (moreToCome && end >= size)) {
            if (moreToCome) {
                fields.clear();
                return false;
            }
            fields.append(mText.sliced(at));
            mPosition = size;
            return true;
        }
        fields.append(mText.sliced(at, end - at));
        if (end < size && mText[end] == ',') {
            at = end + 1;
            continue;
        }
        at = end;
        if (at < size && mText[at] == '\r') {
            // A CR as the last byte read may be the first half of a CRLF still to come.
            if (moreToCome && at + 1 >= size) {
                fields.clear();
                return false;
            }
            ++at;
        }
        if (at < size && mText[at] == '\n')
            ++at;
        mPosition = at;
        return true;
    }
}

qsizetype CsvScanner::fieldEnd(qsizetype from) const
{
    const char *const begin = mText.data();
    const char *const end = begin + mText.size();
    const char *p = begin + from;
    if (p < end && *p == '"') {
        ++p;
        for (;;) {
            const void *quote = std::memchr(p, '"', static_cast<size_t>(end - p));
            if (!quote)
                return -1;
            p = static_cast<const char *>(quote) + 1;
            if (p < end && *p == '"') {
                ++p;
                continue;
            }
            break;
        }
    }
    // Unquoted, or text after a closing quote, which belongs to the same field.
    while (p < end && !isFieldEnd(*p))
        ++p;
    return p - begin;
}

QByteArray CsvScanner::fieldText(QByteArrayView raw)
{
    if (!raw.startsWith('"'))
        return raw.toByteArray();
    QByteArray text;
    text.reserve(raw.size());
    qsizetype i = 1;
    for (; i < raw.size(); ++i) {
        if (raw[i] != '"') {
            text.append(raw[i]);
            continue;
        }
        if (i + 1 < raw.size() && raw[i + 1] == '"') {
            text.append('"');
            ++i;
            continue;
        }
        ++i;
        break;
    }
    // Anything after the closing quote is kept as written, as spreadsheets do.
    if (i < raw.size())
        text.append(raw.sliced(i));
    return text;
}

QByteArrayView CsvScanner::withoutByteOrderMark(QByteArrayView text)
{
    return text.startsWith("\xEF\xBB\xBF") ? text.sliced(3) : text;
}

bool CsvScanner::isBlank(const QList<QByteArrayView> &fields)
{
    for (const QByteArrayView field : fields) {
        if (!field.isEmpty())
            return false;
    }
    return true;
}
