// Alias files for tests: chosen paths answer as aliases of chosen targets, as an alias resolver
// of a system with alias files would.
#pragma once

#include "AliasResolver.h"

#include <QHash>

class StandInAliases final : public AliasResolver
{
public:
    void add(const QString &alias, const QString &target) { mTargets.insert(alias, target); }

    std::optional<QString> aliasTarget(const QString &path, bool followChains) const override
    {
        if (!mTargets.contains(path))
            return std::nullopt;
        QString target = mTargets.value(path);
        // A real resolver gives up on an alias cycle too; the bound keeps the stand-in finite.
        for (int step = 0; followChains && mTargets.contains(target) && step < 100; ++step)
            target = mTargets.value(target);
        return target;
    }

private:
    QHash<QString, QString> mTargets;
};
