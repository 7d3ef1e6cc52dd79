// Holds back the lines logged on one thread, for a caller that writes the lines of several
// threads later in an order of its own.
#pragma once

#include <QStringList>
#include <QtGlobal>

class LogCollector
{
public:
    // Collects what is logged on the calling thread from now until it is destroyed.
    LogCollector();
    ~LogCollector();
    Q_DISABLE_COPY_MOVE(LogCollector)

    QStringList takeLines();

    // Keeps the line when a collector is active on the calling thread; false otherwise.
    static bool keep(const QString &line);

private:
    QStringList mLines;
    LogCollector *mOuter;
};
