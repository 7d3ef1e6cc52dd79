// The file an export is kept in for the user: JIRA.csv in the desktop's download folder.
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace ExportFile {

// JIRA.csv in the download folder, resolved through links and aliases.
QString destinationPath();

// What became of the export file.
struct Stored
{
    // The file written, when one was.
    std::optional<QString> path;
    // The data could not be written; the previous file is still there.
    bool failed = false;
    // Why, in the system's words.
    QString error;
};

// Replaces the export file with data, or removes it for no data, logging the destination and the
// outcome; the download folder is created when missing (a missing home never is). A read-only
// previous file is replaced too. A failed write leaves a writable previous file whole. Safe on
// any thread.
Stored store(const QByteArray &data);

} // namespace ExportFile
