#include "DefaultFilesInstaller.h"

#include "HomeFolder.h"
#include "Log.h"
#include "PathOperations.h"
#include "PathResolution.h"
#include "SupportFolder.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QThread>

#include <filesystem>
#include <sys/stat.h>
#include <system_error>

namespace fs = std::filesystem;

namespace {

const QStringList resourceNames = {QStringLiteral("EngineeringQueryText"),
                                   QStringLiteral("IndividualQueryText"),
                                   QStringLiteral("JiraUsers"), QStringLiteral("SiteURL")};

const QString stagingFolderName = QStringLiteral("temp");

std::optional<QString> packageResourcePath(const QString &packageFolder, const QString &name)
{
    const QString path = appendingPathComponent(packageFolder, name + QStringLiteral(".plist"));
    if (!QFileInfo(path).isFile())
        return std::nullopt;
    return path;
}

// Invalid when the date cannot be read, which makes the file count as out of date.
QDateTime modificationDate(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() ? info.lastModified() : QDateTime();
}

fs::path nativePath(const QString &path)
{
    return fs::path(QFile::encodeName(path).toStdString());
}

QString failure(const QString &what, const std::error_code &error)
{
    return what + QStringLiteral(": ") + QString::fromLocal8Bit(error.message());
}

QString backupPath(const QString &installed)
{
    return installed + QStringLiteral("_orig");
}

QString scratchPath(const QString &backup)
{
    return backup + QStringLiteral(".partial");
}

// A copy dated by the clock would look older than a package dated ahead of it at every launch,
// and each of those refreshes would overwrite the backup of the user's edit with the default.
bool copyWithModificationDate(const QString &from, const QString &to)
{
    std::error_code error;
    fs::copy_file(nativePath(from), nativePath(to), error);
    if (error)
        return false;
    const fs::file_time_type packageDate = fs::last_write_time(nativePath(from), error);
    if (!error)
        fs::last_write_time(nativePath(to), packageDate, error);
    return !error;
}

// True when the backup already is a second name of the installed file: a run stopped after
// making the backup and before the replacement. Renaming a scratch name over it then would do
// nothing at all and leave the scratch name behind.
bool isAlreadyBackedUp(const QString &installed, const QString &backup)
{
    std::error_code error;
    return fs::equivalent(nativePath(installed), nativePath(backup), error) && !error;
}

// The backup becomes a second name of the installed file (a copy where the file system has no
// hard links), made under a scratch name and renamed over any earlier backup, so neither the
// installed file nor a previous backup is ever half written.
std::optional<QString> keepBackup(const QString &installed, const QString &backup)
{
    if (isAlreadyBackedUp(installed, backup))
        return std::nullopt;
    const fs::path scratch = nativePath(scratchPath(backup));
    std::error_code error;
    fs::remove(scratch, error);
    fs::create_hard_link(nativePath(installed), scratch, error);
    if (error)
        fs::copy_file(nativePath(installed), scratch, error);
    if (!error)
        fs::rename(scratch, nativePath(backup), error);
    if (!error)
        return std::nullopt;
    std::error_code ignored;
    fs::remove(scratch, ignored);
    return failure(QStringLiteral("Could not keep a backup of ") + installed +
                       QStringLiteral(" as ") + backup,
                   error);
}

// Renaming the staging copy over the installed file swaps it in one step: the installed file
// is old or new and whole at every moment, and it carries the new copy's attributes only.
std::optional<QString> replaceKeepingBackup(const QString &installed, const QString &staged,
                                            const QString &backup)
{
    if (const std::optional<QString> backupFailure = keepBackup(installed, backup))
        return backupFailure;
    std::error_code error;
    fs::rename(nativePath(staged), nativePath(installed), error);
    if (!error)
        return std::nullopt;
    return failure(QStringLiteral("Could not replace ") + installed + QStringLiteral(" with ") +
                       staged,
                   error);
}

bool isUpToDate(const QDateTime &packageDate, const QDateTime &installedDate)
{
    return packageDate.isValid() && installedDate.isValid() && packageDate <= installedDate;
}

void refreshInstalledFile(const QString &resourcePath, const QString &folderPath,
                          const QString &installed)
{
    const QString name = QFileInfo(resourcePath).fileName();
    const QString staging = appendingPathComponent(folderPath, stagingFolderName);
    if (!QFileInfo::exists(staging))
        QDir().mkdir(staging);
    const QString staged = appendingPathComponent(staging, name);
    // Without a staging copy the replacement cannot happen; stopping here also spares the
    // earlier backup, which would otherwise be overwritten by a copy of the unchanged file.
    if (!copyWithModificationDate(resourcePath, staged)) {
        logLine(QStringLiteral("Could not copy ") + resourcePath + QStringLiteral(" to ") + staged);
        return;
    }
    if (const std::optional<QString> description =
            replaceKeepingBackup(installed, staged, backupPath(installed))) {
        logLine(*description);
        QFile::remove(staged);
    }
}

// A launch ended between two steps of a refresh leaves its staging copy or the backup's scratch
// name behind; the installed file and its backup are whole either way, so both can go. Folders
// are left alone: nothing here makes one under these names.
void removeLeftovers(const QString &folder, const QString &fileName)
{
    const QString installed = appendingPathComponent(folder, fileName);
    for (const QString &leftover :
         {appendingPathComponent(appendingPathComponent(folder, stagingFolderName), fileName),
          scratchPath(backupPath(installed))}) {
        if (fileTypeOfItem(leftover).value_or(0) != S_IFDIR)
            QFile::remove(leftover);
    }
}

} // namespace

DefaultFilesInstaller::DefaultFilesInstaller(const QString &packageFolder)
    : mPackageFolder(packageFolder)
{
}

std::optional<QString> DefaultFilesInstaller::copyDefaultsFromBundleDirectory() const
{
    const QString folder = xqStringByResolvingSymlinksAndAliases(appSupportFolder());
    if (folder.isEmpty())
        return std::nullopt;
    if (!QFileInfo::exists(folder) && makeFolderPath(folder)) {
        // A short settling pause after making the folder, before anything is copied into it.
        QThread::msleep(100);
    }
    for (const QString &name : resourceNames) {
        removeLeftovers(folder, name + QStringLiteral(".plist"));
        if (const std::optional<QString> resource = packageResourcePath(mPackageFolder, name))
            copyBundleResource(*resource, folder);
    }
    return folder;
}

void DefaultFilesInstaller::copyBundleResource(const QString &resourcePath,
                                               const QString &folderPath)
{
    const QDateTime packageDate = modificationDate(resourcePath);
    const QString installed =
        appendingPathComponent(folderPath, QFileInfo(resourcePath).fileName());
    if (!QFileInfo::exists(installed)) {
        copyWithModificationDate(resourcePath, installed);
        return;
    }
    if (!isUpToDate(packageDate, modificationDate(installed)))
        refreshInstalledFile(resourcePath, folderPath, installed);
}
