// The user's home folder, and the rule that a home folder that does not exist is never made.
#pragma once

#include <QString>

// $HOME, or the account's home from the password database when HOME is unset or empty (where
// Qt would take the file system's root).
QString homeFolder();

// True when making the folder at path would also make a home folder that does not exist; that
// is logged, with the home's path.
bool wouldCreateMissingHome(const QString &path);

// Makes the folder at path with any missing parents, unless that would make a missing home.
bool makeFolderPath(const QString &path);
