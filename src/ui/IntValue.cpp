#include "IntValue.h"

#include <limits>

namespace {

template<typename Int> Int leadingInteger(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && text[i].isSpace())
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    // Accumulating towards the sign's own end lets the most negative value be read without
    // passing through its positive counterpart, which does not exist.
    const Int limit = negative ? std::numeric_limits<Int>::min() : std::numeric_limits<Int>::max();
    Int value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        const Int digit = text[i].unicode() - u'0';
        if (negative ? value < (limit + digit) / 10 : value > (limit - digit) / 10)
            return limit;
        value = negative ? value * 10 - digit : value * 10 + digit;
    }
    return value;
}

} // namespace

qint32 intValue(QStringView text)
{
    return leadingInteger<qint32>(text);
}

qint64 integerValue(QStringView text)
{
    return leadingInteger<qint64>(text);
}
