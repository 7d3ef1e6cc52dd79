// Installs the default configuration files from the application package into the support
// folder at launch: a missing file is copied in, an installed one is replaced only by a newer
// package copy, and a replaced file stays beside it as "<name>_orig".
#pragma once

#include <QString>

#include <optional>

// Installs each of the four configuration files the package folder holds; returns the support
// folder, or nothing when there is no support folder path.
std::optional<QString> copyDefaultsFromPackage(const QString &packageFolder);

// Installs one package file into folderPath, replacing an older installed copy.
void copyPackageResource(const QString &resourcePath, const QString &folderPath);
