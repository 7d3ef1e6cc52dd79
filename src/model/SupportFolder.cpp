#include "SupportFolder.h"

#include "Log.h"
#include "PathOperations.h"
#include "PathResolution.h"

#include <QDir>
#include <QFileInfo>

QString appSupportFolder()
{
    const QString path = xqStringByResolvingSymlinksAndAliases(appendingPathComponent(
        QDir::homePath(), QStringLiteral("Library/Application Support/quillfen_brevant")));
    // A folder that cannot be made is not reported here: loading then reports each file missing.
    if (QFileInfo::exists(path) || QDir().mkpath(path))
        logLine(QStringLiteral("Using ") + path);
    return path;
}
