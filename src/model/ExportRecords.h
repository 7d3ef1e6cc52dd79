// What an export holds, as far as the status line tells it: how many issues, and whether Jira's
// cap on an export's size may have cut it short.
#pragma once

#include <QByteArrayView>
#include <QUrl>

#include <limits>

namespace ExportRecords {

// The records after the header line. Line breaks inside quoted fields belong to their record;
// lines end with CRLF, LF or CR; blank lines are no records. Counting stops past limit records,
// so that telling a full export from a short one reads no more of a large one than it must.
qsizetype issueCount(QByteArrayView data,
                     qsizetype limit = std::numeric_limits<qsizetype>::max() - 1);

// The most issues Jira puts in one export from that address: its "tempMax", or Jira's own
// default of 1,000 when the address names none.
qsizetype exportCap(const QUrl &address);

} // namespace ExportRecords
