// The one question path resolution asks about alias files: is this item one, and what does it
// designate? Linux has no alias files, so the system's answer is always "not an alias"; tests
// derive from this class to stand in aliases.
#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

class AliasResolver
{
public:
    AliasResolver() = default;
    virtual ~AliasResolver();
    Q_DISABLE_COPY_MOVE(AliasResolver)

    // The path designated by the alias at path (an existing item), following further aliases to
    // the end of the chain when followChains is set. Nothing when the item is not an alias or the
    // alias cannot be resolved.
    virtual std::optional<QString> aliasTarget(const QString &path, bool followChains) const;

    // The resolver of the running system.
    static const AliasResolver &system();
};
