// Installs the default configuration files from the application package into the support
// folder at launch: a missing file is copied in, an installed one is replaced only by a newer
// package copy, and a replaced file stays beside it as "<name>_orig".
#pragma once

#include <QString>

#include <optional>

class DefaultFilesInstaller
{
public:
    // packageFolder is the application package: share/quillfen_brevant beside bin/.
    explicit DefaultFilesInstaller(const QString &packageFolder);

    // Installs each of the four configuration files the package holds, after clearing what an
    // interrupted earlier launch left behind; returns the support folder, or nothing when there
    // is no support folder path.
    std::optional<QString> copyDefaultsFromBundleDirectory() const;

    // Installs one package file into folderPath, replacing an older installed copy. Every copy
    // carries the package file's modification date, so that the next launch with the same
    // package finds it up to date even when that date lies ahead of the clock.
    static void copyBundleResource(const QString &resourcePath, const QString &folderPath);

private:
    QString mPackageFolder;
};
