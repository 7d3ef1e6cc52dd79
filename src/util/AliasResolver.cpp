#include "AliasResolver.h"

AliasResolver::~AliasResolver() = default;

std::optional<QString> AliasResolver::aliasTarget(const QString &path, bool followChains) const
{
    Q_UNUSED(path)
    Q_UNUSED(followChains)
    return std::nullopt;
}

const AliasResolver &AliasResolver::system()
{
    static const AliasResolver resolver;
    return resolver;
}
