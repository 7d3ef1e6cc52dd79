#include "PathOperations.h"

#include "HomeFolder.h"

#include <QFile>
#include <QStringList>

#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

QString expandingTilde(const QString &path)
{
    if (path == u"~" || path.startsWith(u"~/"))
        return homeFolder() + path.mid(1);
    return path;
}

// A path with an embedded NUL would reach the system cut short and name another item.
bool isRepresentable(const QString &path)
{
    return !path.isEmpty() && !path.contains(QChar(u'\0'));
}

QString joinedComponents(const QString &base, const QStringList &rest)
{
    return rest.isEmpty() ? base : appendingPathComponent(base, rest.join(u'/'));
}

// Takes the next pending component onto the resolved path, or puts a link's target components
// in its place. From the first component that does not exist on, the rest is kept as written.
LinkWalkStep resolveNextComponent(QString &resolved, QStringList &pending)
{
    if (pending.isEmpty())
        return LinkWalkStep::Finished;
    const QString component = pending.takeFirst();
    if (component == u".")
        return LinkWalkStep::WentOn;
    if (component == u"..") {
        resolved = deletingLastPathComponent(resolved);
        return LinkWalkStep::WentOn;
    }
    const QString candidate = appendingPathComponent(resolved, component);
    const std::optional<unsigned> type = fileTypeOfItem(candidate);
    if (!type) {
        resolved = standardizedPath(joinedComponents(candidate, pending));
        return LinkWalkStep::Finished;
    }
    const std::optional<QString> target =
        *type == S_IFLNK ? symbolicLinkDestination(candidate) : std::nullopt;
    if (!target || target->isEmpty()) {
        resolved = candidate;
        return LinkWalkStep::WentOn;
    }
    if (target->startsWith(u'/'))
        resolved = QStringLiteral("/");
    pending = target->split(u'/', Qt::SkipEmptyParts) + pending;
    return LinkWalkStep::FollowedLink;
}

} // namespace

QString standardizedPath(const QString &path)
{
    const QString expanded = expandingTilde(path);
    const bool absolute = expanded.startsWith(u'/');
    QStringList kept;
    for (const QString &component : expanded.split(u'/', Qt::SkipEmptyParts)) {
        if (component == u".")
            continue;
        if (absolute && component == u"..") {
            if (!kept.isEmpty())
                kept.removeLast();
            continue;
        }
        kept.append(component);
    }
    if (absolute)
        return u'/' + kept.join(u'/');
    if (kept.isEmpty() && !expanded.isEmpty())
        return QStringLiteral(".");
    return kept.join(u'/');
}

QString pathByResolvingSymlinksInPath(const QString &path)
{
    const QString standardized = standardizedPath(path);
    if (!standardized.startsWith(u'/'))
        return standardized;
    QString resolved = QStringLiteral("/");
    QStringList pending = standardized.split(u'/', Qt::SkipEmptyParts);
    const bool finished = walkThroughLinks([&] { return resolveNextComponent(resolved, pending); });
    return finished ? resolved : standardized;
}

std::optional<unsigned> fileTypeOfItem(const QString &path)
{
    if (!isRepresentable(path))
        return std::nullopt;
    struct stat status
    {
    };
    if (::lstat(QFile::encodeName(path).constData(), &status) != 0)
        return std::nullopt;
    return static_cast<unsigned>(status.st_mode & S_IFMT);
}

std::optional<QString> symbolicLinkDestination(const QString &path)
{
    if (!isRepresentable(path))
        return std::nullopt;
    const QByteArray encoded = QFile::encodeName(path);
    std::vector<char> buffer(256);
    // readlink does not say whether it truncated, so grow until the target fits with room left.
    while (buffer.size() <= (1u << 20)) {
        const ssize_t length = ::readlink(encoded.constData(), buffer.data(), buffer.size());
        if (length < 0)
            return std::nullopt;
        if (static_cast<size_t>(length) < buffer.size())
            return QFile::decodeName(QByteArray(buffer.data(), length));
        buffer.resize(buffer.size() * 2);
    }
    return std::nullopt;
}

QString appendingPathComponent(const QString &path, const QString &component)
{
    qsizetype first = 0;
    while (first < component.size() && component.at(first) == u'/')
        ++first;
    qsizetype end = path.size();
    while (end > 0 && path.at(end - 1) == u'/')
        --end;
    if (path.isEmpty())
        return component.sliced(first);
    return path.first(end) + u'/' + component.sliced(first);
}

QString deletingLastPathComponent(const QString &path)
{
    QString trimmed = path;
    while (trimmed.size() > 1 && trimmed.endsWith(u'/'))
        trimmed.chop(1);
    const qsizetype slash = trimmed.lastIndexOf(u'/');
    if (slash < 0)
        return QString();
    if (slash == 0)
        return QStringLiteral("/");
    return trimmed.left(slash);
}
