// The lexical and file-system path operations that path resolution builds on, over POSIX path
// strings ("/" separated, absolute when they begin with "/").
#pragma once

#include <QString>

#include <optional>

// Expands a leading "~" to the home folder, drops "." and empty components and a trailing
// separator, and in an absolute path removes ".." together with the component before it. A
// relative path that reduces to nothing becomes ".".
QString standardizedPath(const QString &path);

// In an absolute path, replaces every component that is a symbolic link by its target and
// standardizes the result; the first component that does not exist and all after it are kept as
// written. A relative path comes back standardized. Links leading round in a cycle are given up
// after as many links as Linux follows, and the standardized path comes back.
QString pathByResolvingSymlinksInPath(const QString &path);

// The file type bits (S_IFMT) of the item itself, a final symbolic link not followed; nothing when
// the item does not exist or cannot be examined.
std::optional<unsigned> fileTypeOfItem(const QString &path);

// The target text stored in the symbolic link at path, relative or absolute as stored; nothing
// when the item is not a link or cannot be read.
std::optional<QString> symbolicLinkDestination(const QString &path);

// The path with one component appended, exactly one separator between ("/" + "a" is "/a").
QString appendingPathComponent(const QString &path, const QString &component);

// The path without its last component ("/" stays "/", a single relative component becomes "").
QString deletingLastPathComponent(const QString &path);

// How many symbolic links one resolution follows before it takes the path for a cycle.
inline constexpr int maxSymbolicLinksFollowed = 40;

// What one step of a walk through links did.
enum class LinkWalkStep
{
    WentOn,
    FollowedLink,
    Finished
};

// Runs step until it says Finished, and tells whether it did: a walk that would follow more
// than maxSymbolicLinksFollowed links leads round in a cycle and is stopped, each caller giving
// its own result for that.
template<typename Step> bool walkThroughLinks(Step step)
{
    for (int followed = 0;;) {
        switch (step()) {
        case LinkWalkStep::Finished:
            return true;
        case LinkWalkStep::FollowedLink:
            if (++followed > maxSymbolicLinksFollowed)
                return false;
            break;
        case LinkWalkStep::WentOn:
            break;
        }
    }
}
