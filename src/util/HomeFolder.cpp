#include "HomeFolder.h"

#include "Log.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <pwd.h>
#include <unistd.h>

namespace {

QString accountHome()
{
    const passwd *account = ::getpwuid(::getuid());
    return account && account->pw_dir ? QFile::decodeName(account->pw_dir) : QString();
}

bool isInside(const QString &path, const QString &folder)
{
    const QString cleanFolder = QDir::cleanPath(folder);
    const QString cleanPath = QDir::cleanPath(path);
    return cleanPath == cleanFolder || cleanPath.startsWith(cleanFolder + u'/');
}

} // namespace

QString homeFolder()
{
    const QString home = qEnvironmentVariable("HOME");
    return home.isEmpty() ? accountHome() : home;
}

bool wouldCreateMissingHome(const QString &path)
{
    const QString home = homeFolder();
    if (home.isEmpty() || QFileInfo::exists(home) || !isInside(path, home))
        return false;
    logLine(QStringLiteral("The home folder ") + home +
            QStringLiteral(" does not exist; it is not created."));
    return true;
}

bool makeFolderPath(const QString &path)
{
    return !wouldCreateMissingHome(path) && QDir().mkpath(path);
}
