#include "CsvFields.h"

#include "TextQuoting.h"

namespace {

QString cleanedField(const QString &field)
{
    QString unquoted = field;
    unquoted.replace(QStringLiteral("\"\""), QStringLiteral("\""));
    return stringByRemovingQuotes(unquoted);
}

// Only the last character decides whether a quoted field is closed, so "\"" alone is closed.
bool isOpenQuotedField(QStringView candidate)
{
    return candidate.startsWith(u'"') && !candidate.endsWith(u'"');
}

// An empty delimiter is never found, as with every search for an empty text.
qsizetype indexOfDelimiter(const QString &line, const QString &delimiter, qsizetype from)
{
    return delimiter.isEmpty() ? -1 : line.indexOf(delimiter, from);
}

// Works on offsets into the line rather than on shrinking copies of its rest, so a long line
// with many fields costs time in proportion to its length.
QStringList fieldsSplitAt(const QString &line, const QString &delimiter)
{
    QStringList fields;
    qsizetype start = 0;
    qsizetype end = indexOfDelimiter(line, delimiter, start);
    while (end >= 0) {
        while (end >= 0 && isOpenQuotedField(QStringView(line).sliced(start, end - start)))
            end = indexOfDelimiter(line, delimiter, end + delimiter.size());
        if (end < 0)
            break;
        fields.append(cleanedField(line.sliced(start, end - start)));
        start = end + delimiter.size();
        end = indexOfDelimiter(line, delimiter, start);
    }
    fields.append(cleanedField(line.sliced(start)));
    return fields;
}

QStringList fieldsSplitInsideQuotes(const QString &line, const QString &delimiter)
{
    const QStringList fields = fieldsSplitAt(line, delimiter);
    if (line.startsWith(u'"') && fields.size() == 1)
        return fieldsSplitAt(stringByRemovingQuotes(line), delimiter);
    return fields;
}

} // namespace

std::optional<QStringList> componentsFromCSVwithDelimiter(const std::optional<QString> &line,
                                                          const QString &delimiter)
{
    if (!line)
        return std::nullopt;
    return fieldsSplitAt(*line, delimiter);
}

std::optional<QStringList> componentsFromCSV(const std::optional<QString> &line)
{
    if (!line)
        return std::nullopt;
    const QStringList commaFields = fieldsSplitInsideQuotes(*line, QStringLiteral(","));
    if (!line->contains(u';'))
        return commaFields;
    const QStringList semicolonFields = fieldsSplitInsideQuotes(*line, QStringLiteral(";"));
    return semicolonFields.size() > commaFields.size() ? semicolonFields : commaFields;
}

QString csvFromComponentsWithDelimiter(const QStringList &components, const QString &delimiter)
{
    QString line;
    for (qsizetype index = 0; index < components.size(); ++index) {
        if (index > 0)
            line += delimiter;
        QString field = components.at(index);
        field.replace(QStringLiteral("\""), QStringLiteral("\"\""));
        const bool needsQuotes =
            field.contains(u' ') || (!delimiter.isEmpty() && field.contains(delimiter));
        line += needsQuotes ? stringByAddingQuotes(field) : field;
    }
    return line;
}

QString csvFromComponents(const QStringList &components)
{
    return csvFromComponentsWithDelimiter(components, QStringLiteral(","));
}
