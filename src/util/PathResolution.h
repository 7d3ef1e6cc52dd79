// Resolution of paths through symbolic links and aliases.
#pragma once

#include "AliasResolver.h"

#include <QString>

#include <optional>

// Standardizes the path, follows symbolic links in every component and, when the last component
// is an alias, its alias chain. A path that does not exist yet comes back standardized.
QString xqStringByResolvingSymlinksAndAliases(const QString &path);
QString xqStringByResolvingSymlinksAndAliases(const QString &path, const AliasResolver &aliases);

// The target at the end of the alias chain when path is an existing alias, else path itself;
// nothing only for no path.
std::optional<QString> identifyOriginalPath(const std::optional<QString> &path,
                                            const AliasResolver &aliases = AliasResolver::system());

// Walks an absolute path component by component, resolving links and aliases in each; nothing
// when a component does not exist or a link leads nowhere. A relative path comes back unchanged.
std::optional<QString>
stringByResolvingSymlinksAndAliases(const QString &path,
                                    const AliasResolver &aliases = AliasResolver::system());

// Resolves the last component until it is neither a link nor an alias; nothing when an item on
// the way does not exist or the links and aliases lead round in a cycle.
std::optional<QString>
stringByIterativelyResolvingSymlinkOrAlias(const QString &path,
                                           const AliasResolver &aliases = AliasResolver::system());

// One step through a symbolic link: an absolute target as stored, a relative one joined to the
// link's folder and standardized; nothing when path is not a readable link.
std::optional<QString> stringByConditionallyResolvingSymlink(const QString &path);

// One step through an alias, chains not followed; nothing when path is not an existing alias.
std::optional<QString>
stringByConditionallyResolvingAlias(const QString &path,
                                    const AliasResolver &aliases = AliasResolver::system());

// The single steps above, giving path itself back where they give nothing.
QString stringByResolvingSymlink(const QString &path);
QString stringByResolvingAlias(const QString &path,
                               const AliasResolver &aliases = AliasResolver::system());
