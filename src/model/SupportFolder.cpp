#include "SupportFolder.h"

#include "HomeFolder.h"
#include "Log.h"
#include "PathOperations.h"
#include "PathResolution.h"

#include <QFileInfo>

QString appSupportFolder()
{
    const QString path = xqStringByResolvingSymlinksAndAliases(appendingPathComponent(
        homeFolder(), QStringLiteral("Library/Application Support/quillfen_brevant")));
    // A folder that cannot be made is not reported here: loading then reports each file missing.
    if (QFileInfo::exists(path) || makeFolderPath(path))
        logLine(QStringLiteral("Using ") + path);
    return path;
}
