// Splitting one line of delimited text into fields and writing fields back into a line, with
// double quotes around fields that need them and doubled quotes inside.
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// The fields of the line split at the delimiter, a field that begins with a double quote running
// on to the delimiter after a text ending in one. Every field has its doubled quotes made single
// and spaces and quotes trimmed from its ends. Nothing when no line is given.
std::optional<QStringList> componentsFromCSVwithDelimiter(const std::optional<QString> &line,
                                                          const QString &delimiter);

// The fields split at "," or, when that gives more fields, at ";". A line that is one quoted text
// as a whole is split inside its quotes. Nothing when no line is given.
std::optional<QStringList> componentsFromCSV(const std::optional<QString> &line);

// One line of the components joined by the delimiter, each with its double quotes doubled and,
// when it holds a space or the delimiter, trimmed of spaces and quotes and put in double quotes.
QString csvFromComponentsWithDelimiter(const QStringList &components, const QString &delimiter);

// csvFromComponentsWithDelimiter with ",".
QString csvFromComponents(const QStringList &components);
