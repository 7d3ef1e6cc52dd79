// The spreadsheet formula that an export's header line calls for: the column after "Created"
// minus the "Created" column, both in row 2.
#pragma once

#include <QByteArrayView>
#include <QString>

namespace ExportHeader {

// Used when the header has no "Created" title, or is not UTF-8 text.
QString notFoundFormula();

// Spreadsheet column names: 0 is "A", 25 is "Z", 26 is "AA", 701 is "ZZ", 702 is "AAA".
QString columnLetters(qsizetype index);

// The header line: the bytes up to the first carriage return or line feed, without a leading
// UTF-8 byte-order mark. Looks at nothing past the line, so a large export is not copied.
QByteArrayView headerLine(QByteArrayView data);

// The formula for an export: the first title that equals "Created" exactly, split plainly at
// every "," (no CSV quoting), decides it.
QString cellReference(QByteArrayView data);

} // namespace ExportHeader
