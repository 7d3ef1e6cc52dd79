#include "TextQuoting.h"

namespace {

QString trimmedBySet(const QString &text, QStringView set)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && set.contains(text.at(first)))
        ++first;
    while (last > first && set.contains(text.at(last - 1)))
        --last;
    return text.mid(first, last - first);
}

} // namespace

QString stringByRemovingQuotes(const QString &text)
{
    return trimmedBySet(text, u" \"");
}

QString stringByAddingQuotes(const QString &text)
{
    return u'"' + stringByRemovingQuotes(text) + u'"';
}

QString stringByRemovingAngleBrackets(const QString &text)
{
    return trimmedBySet(text, u" <>");
}

QString stringByAddingAngleBrackets(const QString &text)
{
    if (text.startsWith(u'<'))
        return text;
    return u'<' + text + u'>';
}
