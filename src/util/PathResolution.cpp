#include "PathResolution.h"

#include "PathOperations.h"

#include <QStringList>

#include <sys/stat.h>

QString xqStringByResolvingSymlinksAndAliases(const QString &path)
{
    return xqStringByResolvingSymlinksAndAliases(path, AliasResolver::system());
}

QString xqStringByResolvingSymlinksAndAliases(const QString &path, const AliasResolver &aliases)
{
    const QString linksResolved = pathByResolvingSymlinksInPath(path);
    return identifyOriginalPath(linksResolved, aliases).value_or(linksResolved);
}

std::optional<QString> identifyOriginalPath(const std::optional<QString> &path,
                                            const AliasResolver &aliases)
{
    if (!path)
        return std::nullopt;
    if (!fileTypeOfItem(*path))
        return *path;
    const std::optional<QString> target = aliases.aliasTarget(*path, true);
    if (target && !target->isEmpty())
        return target;
    return *path;
}

std::optional<QString> stringByResolvingSymlinksAndAliases(const QString &path,
                                                           const AliasResolver &aliases)
{
    const QString standardized = standardizedPath(path);
    if (!standardized.startsWith(u'/'))
        return path;
    QString current = QStringLiteral("/");
    for (const QString &component : standardized.split(u'/', Qt::SkipEmptyParts)) {
        const std::optional<QString> resolved = stringByIterativelyResolvingSymlinkOrAlias(
            appendingPathComponent(current, component), aliases);
        if (!resolved)
            return std::nullopt;
        current = *resolved;
    }
    return current;
}

std::optional<QString> stringByIterativelyResolvingSymlinkOrAlias(const QString &path,
                                                                  const AliasResolver &aliases)
{
    QString current = path;
    std::optional<QString> result;
    // Each step follows one link or one alias.
    const bool finished = walkThroughLinks([&] {
        const std::optional<unsigned> type = fileTypeOfItem(current);
        if (!type || *type == S_IFDIR) {
            result = type ? std::optional<QString>(current) : std::nullopt;
            return LinkWalkStep::Finished;
        }
        const bool isLink = *type == S_IFLNK;
        const std::optional<QString> next =
            isLink ? stringByConditionallyResolvingSymlink(current)
                   : stringByConditionallyResolvingAlias(current, aliases);
        if (!next) {
            result = isLink ? std::nullopt : std::optional<QString>(current);
            return LinkWalkStep::Finished;
        }
        current = *next;
        return LinkWalkStep::FollowedLink;
    });
    return finished ? result : std::nullopt;
}

std::optional<QString> stringByConditionallyResolvingSymlink(const QString &path)
{
    const std::optional<QString> target = symbolicLinkDestination(path);
    if (!target)
        return std::nullopt;
    if (target->startsWith(u'/'))
        return target;
    return standardizedPath(
        appendingPathComponent(standardizedPath(deletingLastPathComponent(path)), *target));
}

std::optional<QString> stringByConditionallyResolvingAlias(const QString &path,
                                                           const AliasResolver &aliases)
{
    if (!fileTypeOfItem(path))
        return std::nullopt;
    const std::optional<QString> target = aliases.aliasTarget(path, false);
    if (!target || target->isEmpty())
        return std::nullopt;
    return target;
}

QString stringByResolvingSymlink(const QString &path)
{
    return stringByConditionallyResolvingSymlink(path).value_or(path);
}

QString stringByResolvingAlias(const QString &path, const AliasResolver &aliases)
{
    return stringByConditionallyResolvingAlias(path, aliases).value_or(path);
}
