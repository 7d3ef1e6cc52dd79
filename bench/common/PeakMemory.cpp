#include "PeakMemory.h"

#include <QByteArray>
#include <QFile>

namespace {

// Kilobytes from a line of /proc/self/status.
qint64 statusKilobytes(const QByteArray &field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(field.size()).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

} // namespace

namespace PeakMemory {

void reset()
{
    QFile clearRefs(QStringLiteral("/proc/self/clear_refs"));
    if (clearRefs.open(QIODevice::WriteOnly))
        clearRefs.write("5");
}

qint64 residentKilobytes()
{
    return statusKilobytes("VmRSS:");
}

qint64 peakKilobytes()
{
    return statusKilobytes("VmHWM:");
}

} // namespace PeakMemory
