#include "ExportMoments.h"

#include <QEventLoop>
#include <QTimer>

ExportMoments::ExportMoments(QObject *parent)
    : QObject(parent)
{
    mClock.start();
}

ExportMoments::~ExportMoments() = default;

void ExportMoments::mark(Moment moment)
{
    const double atMs = mClock.nsecsElapsed() / 1e6;
    // A mark from another thread reaches the record on the main thread's next turn; its stamp
    // is the moment itself, not that turn.
    QMetaObject::invokeMethod(this, [this, moment, atMs] { record(moment, atMs); });
}

void ExportMoments::clear()
{
    mRecorded.clear();
}

std::optional<double> ExportMoments::atMs(Moment moment) const
{
    const auto found = mRecorded.constFind(moment);
    if (found == mRecorded.cend())
        return std::nullopt;
    return *found;
}

bool ExportMoments::waitFor(Moment moment, int timeoutMs)
{
    if (mRecorded.contains(moment))
        return true;
    QEventLoop loop;
    connect(this, &ExportMoments::recorded, &loop, [&loop, moment](Moment recorded) {
        if (recorded == moment)
            loop.quit();
    });
    QTimer::singleShot(timeoutMs, &loop, [&loop] { loop.exit(1); });
    return loop.exec() == 0;
}

void ExportMoments::record(Moment moment, double atMs)
{
    if (mRecorded.contains(moment))
        return;
    mRecorded.insert(moment, atMs);
    Q_EMIT recorded(moment);
}
