// Sets or unsets one environment variable for as long as it exists, then puts it back.
#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <optional>

class EnvironmentOverride
{
public:
    // No value unsets the variable.
    EnvironmentOverride(const char *name, const std::optional<QByteArray> &value)
        : mName(name)
    {
        if (qEnvironmentVariableIsSet(name))
            mPrevious = qgetenv(name);
        if (value)
            qputenv(name, *value);
        else
            qunsetenv(name);
    }
    ~EnvironmentOverride()
    {
        if (mPrevious)
            qputenv(mName, *mPrevious);
        else
            qunsetenv(mName);
    }
    Q_DISABLE_COPY_MOVE(EnvironmentOverride)

private:
    const char *mName;
    std::optional<QByteArray> mPrevious;
};
