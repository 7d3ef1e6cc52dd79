// Resolution of paths through symbolic links and aliases.
#pragma once

#include <QString>

// Standardizes the path, follows symbolic links in every component and, when the last component
// is an alias, its alias chain. A path that does not exist yet comes back standardized.
QString xqStringByResolvingSymlinksAndAliases(const QString &path);
