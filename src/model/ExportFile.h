// The file an export is kept in for the user: JIRA.csv in the desktop's download folder.
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace ExportFile {

// JIRA.csv in the download folder, resolved through links and aliases. The folder is created
// when missing, so that the path resolves through an existing folder.
QString destinationPath();

// Replaces the export file with data, or removes it for no data, logging the destination and the
// outcome. Gives the path of the written file; nothing when no file was written. A failed write
// leaves the previous file whole. Safe on any thread.
std::optional<QString> store(const QByteArray &data);

} // namespace ExportFile
