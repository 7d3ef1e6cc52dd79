#include "SprintReportLoader.h"

#include "ExportAnalysis.h"

#include <QPromise>
#include <QThreadPool>

#include <memory>

namespace {

constexpr int kPermille = 1000;

// The analysis as a task that owns everything it touches, so that it can outlive the loader.
QFuture<SprintReport> analyseInBackground(const QString &path)
{
    auto promise = std::make_shared<QPromise<SprintReport>>();
    QFuture<SprintReport> future = promise->future();
    promise->setProgressRange(0, kPermille);
    promise->start();
    QThreadPool::globalInstance()->start([promise, path] {
        const auto report = ExportAnalysis::ofFile(path, [&promise](qint64 read, qint64 total) {
            if (total > 0)
                promise->setProgressValue(static_cast<int>(read * kPermille / total));
            return !promise->isCanceled();
        });
        if (report)
            promise->addResult(*report);
        promise->finish();
    });
    return future;
}

} // namespace

SprintReportLoader::SprintReportLoader(QObject *parent)
    : QObject(parent)
{
    connect(&mWatcher, &QFutureWatcherBase::progressValueChanged, this,
            &SprintReportLoader::progressed);
    connect(&mWatcher, &QFutureWatcherBase::finished, this, &SprintReportLoader::reportFinished);
}

SprintReportLoader::~SprintReportLoader()
{
    cancel();
}

void SprintReportLoader::load(const QString &path, const QString &sprintStart,
                              const QString &sprintEnd)
{
    cancel();
    mPath = path;
    mSprintStart = sprintStart;
    mSprintEnd = sprintEnd;
    mWatcher.setFuture(analyseInBackground(path));
}

void SprintReportLoader::cancel()
{
    // The watcher forgets the old analysis, which stops at its next record and reports nothing.
    mWatcher.future().cancel();
    mWatcher.setFuture({});
}

void SprintReportLoader::reportFinished()
{
    const QFuture<SprintReport> future = mWatcher.future();
    if (future.isCanceled() || future.resultCount() == 0)
        return;
    SprintReport report = future.result();
    report.sprintStart = mSprintStart;
    report.sprintEnd = mSprintEnd;
    Q_EMIT loaded(mPath, report);
}
