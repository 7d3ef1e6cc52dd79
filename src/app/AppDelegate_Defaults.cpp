// Installing the default configuration files at launch; the work itself lives in the core
// library, so that it can be tested without a display.
#include "AppDelegate.h"
#include "DefaultFilesInstaller.h"

std::optional<QString> AppDelegate::copyDefaultsFromBundleDirectory()
{
    return copyDefaultsFromPackage(mPackageFolder);
}

void AppDelegate::copyBundleResource(const QString &resourcePath, const QString &folderPath)
{
    copyPackageResource(resourcePath, folderPath);
}
