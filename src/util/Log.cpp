#include "Log.h"

Q_LOGGING_CATEGORY(lcBrevant, "brevant")

void logLine(const QString &line)
{
    qCInfo(lcBrevant).noquote() << line;
}
