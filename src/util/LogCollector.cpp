#include "LogCollector.h"

#include <utility>

namespace {

thread_local LogCollector *activeCollector = nullptr;

} // namespace

LogCollector::LogCollector()
    : mOuter(activeCollector)
{
    activeCollector = this;
}

LogCollector::~LogCollector()
{
    activeCollector = mOuter;
}

QStringList LogCollector::takeLines()
{
    return std::exchange(mLines, QStringList());
}

bool LogCollector::keep(const QString &line)
{
    if (!activeCollector)
        return false;
    activeCollector->mLines.append(line);
    return true;
}
