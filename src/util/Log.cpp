#include "Log.h"

#include "LogCollector.h"

Q_LOGGING_CATEGORY(lcBrevant, "brevant")

void logLine(const QString &line)
{
    if (!LogCollector::keep(line))
        qCInfo(lcBrevant).noquote() << line;
}
