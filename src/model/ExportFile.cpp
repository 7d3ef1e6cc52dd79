#include "ExportFile.h"

#include "HomeFolder.h"
#include "Log.h"
#include "PathResolution.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace {

QString downloadFolder()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    // Without a known folder the file would land in the file system's root.
    return folder.isEmpty() ? homeFolder() + QStringLiteral("/Downloads") : folder;
}

// The previous export goes whatever its permissions, as the user asked for a new one: made
// writable when it is the user's own, removed otherwise (the folder is the user's).
void makeReplaceable(const QString &path)
{
    const QFileInfo previous(path);
    if (!previous.exists() || previous.isWritable())
        return;
    if (!QFile::setPermissions(path, previous.permissions() | QFileDevice::WriteOwner))
        QFile::remove(path);
}

// Gives what went wrong, or nothing when the file was written.
std::optional<QString> replaceFile(const QString &path, const QByteArray &data)
{
    makeReplaceable(path);
    // Written beside the destination and renamed over it, so a failure never leaves half a file;
    // an uncommitted file is discarded. It refuses a destination it may not write.
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(data) == data.size() && file.commit())
        return std::nullopt;
    return file.errorString();
}

} // namespace

namespace ExportFile {

QString destinationPath()
{
    return xqStringByResolvingSymlinksAndAliases(downloadFolder() + QStringLiteral("/JIRA.csv"));
}

Stored store(const QByteArray &data)
{
    // Made first, so that the destination resolves through an existing folder.
    makeFolderPath(downloadFolder());
    const QString path = destinationPath();
    logLine(QStringLiteral("Destination path is: ") % path);
    if (data.isEmpty()) {
        // An empty export means the search found nothing; an older file would mislead the user.
        QFile::remove(path);
        return {};
    }
    if (const std::optional<QString> error = replaceFile(path, data)) {
        logLine(QStringLiteral("Data could not be written"));
        return {std::nullopt, true, *error};
    }
    logLine(QStringLiteral("Data written to ") % path);
    return {path, false, {}};
}

} // namespace ExportFile
