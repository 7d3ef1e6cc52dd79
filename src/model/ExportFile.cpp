#include "ExportFile.h"

#include "Log.h"
#include "PathResolution.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>

namespace {

// Gives what went wrong, or nothing when the file was written.
std::optional<QString> replaceFile(const QString &path, const QByteArray &data)
{
    // Written beside the destination and renamed over it, so a failure never leaves half a file;
    // an uncommitted file is discarded.
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(data) == data.size() && file.commit())
        return std::nullopt;
    return file.errorString();
}

} // namespace

namespace ExportFile {

QString destinationPath()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    // Without a known folder the file would land in the file system's root.
    if (folder.isEmpty())
        folder = QDir::homePath() + QStringLiteral("/Downloads");
    QDir().mkpath(folder);
    return xqStringByResolvingSymlinksAndAliases(folder + QStringLiteral("/JIRA.csv"));
}

Stored store(const QByteArray &data)
{
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
