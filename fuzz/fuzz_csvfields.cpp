// Splitting any line; and a field list written as a line reads back as the same list wherever
// the writer's rules promise it: no field begins or ends with a blank or a double quote (the
// reader trims those), no double quote stands right before a comma and no field begins with a
// comma (either way the reader takes the quoted field to end at that comma). Input: the fields,
// one per line.
#include "CsvFields.h"
#include "FuzzSupport.h"

#include <QStringList>

namespace {

bool isTrimmed(const QString &field)
{
    const auto isTrimmable = [](QChar c) { return c == u' ' || c == u'"'; };
    return field.isEmpty() || (!isTrimmable(field.front()) && !isTrimmable(field.back()));
}

bool writerPromisesRoundTrip(const QStringList &fields)
{
    for (const QString &field : fields) {
        if (!isTrimmed(field) || field.startsWith(u',') || field.contains(QStringLiteral("\",")))
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    silenceLog();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = textOf(data, size);
    componentsFromCSV(text);
    componentsFromCSVwithDelimiter(text, QStringLiteral(";"));
    componentsFromCSVwithDelimiter(text, QString());

    const QStringList fields = text.split(u'\n');
    if (!writerPromisesRoundTrip(fields))
        return 0;
    const QString line = csvFromComponents(fields);
    const std::optional<QStringList> read =
        componentsFromCSVwithDelimiter(line, QStringLiteral(","));
    if (read != fields)
        broken(QStringLiteral("fields written as a line read back unchanged"),
               QStringLiteral("fields: [%1]\nline: %2\nread: [%3]")
                   .arg(fields.join(u'|'), line, read ? read->join(u'|') : QString()));
    return 0;
}
