// Marks the moments of the program's export from its own diagnostic lines, which it writes right
// as each moment happens: the finished page load, the intercepted link, the fetched bytes and the
// written file. The program's other lines are dropped; Qt's go on to the previous handler.
#pragma once

#include "ExportMoments.h"

class ProgramLogHook
{
public:
    explicit ProgramLogHook(ExportMoments &moments);
    ~ProgramLogHook();
    Q_DISABLE_COPY_MOVE(ProgramLogHook)

private:
    static void handler(QtMsgType type, const QMessageLogContext &context, const QString &message);

    ExportMoments &mMoments;
    QtMessageHandler mPrevious = nullptr;
};
