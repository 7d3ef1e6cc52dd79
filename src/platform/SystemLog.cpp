#include "SystemLog.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <cstdio>
#include <cstring>
#include <syslog.h>

namespace {

QtMessageHandler previousHandler = nullptr;

void writeLine(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (!context.category || std::strcmp(context.category, "brevant") != 0) {
        if (previousHandler)
            previousHandler(type, context, message);
        return;
    }
    const QByteArray line = message.toUtf8();
    // "%s" keeps a line that happens to contain a percent sign from being read as a format.
    syslog(LOG_NOTICE, "%s", line.constData());
    std::fprintf(stderr, "%s\n", line.constData());
    std::fflush(stderr);
}

} // namespace

void installSystemLog()
{
    openlog("brevant", LOG_PID, LOG_USER);
    previousHandler = qInstallMessageHandler(writeLine);
}
