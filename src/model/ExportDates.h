// The dates of a Jira CSV export, as instants a span in days can be measured between.
#pragma once

#include <QByteArrayView>

#include <optional>

namespace ExportDates {

// Milliseconds since 1970 of a date in one of Jira's export formats, taking the wall-clock time
// as UTC (so two dates of one export compare as the spreadsheet compares them):
// - "17/Feb/20 8:05 AM" (day/month/two-digit year, 12-hour clock), also with a 24-hour clock;
// - "17/Feb/2020", alone or with a time as above;
// - "2020-02-17 08:05", with seconds, with "T" in place of the blank, with fractions of a second
//   and with a zone ("Z", "+01:00", "+0100"), which is taken off.
// Month names are English, short or in full, in any case, whatever the locale. Blanks around the
// text are ignored. Nothing for anything else, including days that no calendar has.
std::optional<qint64> instant(QByteArrayView text);

} // namespace ExportDates
