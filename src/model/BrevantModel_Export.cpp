// What happens to a fetched export: kept as JIRA.csv, an empty result stepped over one sprint
// back, and the work-days formula taken from the header line.
#include "BrevantModel.h"
#include "ExportFile.h"
#include "ExportHeader.h"
#include "ExportRecords.h"
#include "JiraStatus.h"
#include "Workspace.h"

#include <QFutureWatcher>
#include <QPromise>
#include <QThreadPool>

#include <functional>
#include <memory>

namespace {

using StoredFile = ExportFile::Stored;

constexpr qint32 kRetryBound = 49;

// One thread, so exports reach the file and the model in the order they arrived. It lives until
// the program ends, so a save in progress is never cut off.
QThreadPool &exportPool()
{
    static QThreadPool pool;
    pool.setMaxThreadCount(1);
    return pool;
}

// The file work, off the main thread. The task holds no pointer to the model, which may be gone
// by the time it finishes; its outcome comes back through the future.
QFuture<StoredFile> storeInBackground(const QByteArray &data, bool save)
{
    auto promise = std::make_shared<QPromise<StoredFile>>();
    QFuture<StoredFile> future = promise->future();
    promise->start();
    exportPool().start([promise, data, save] {
        promise->addResult(save ? ExportFile::store(data) : StoredFile());
        promise->finish();
    });
    return future;
}

// Runs then with the stored file on context's thread, unless context is destroyed first.
void whenStored(const QFuture<StoredFile> &stored, QObject *context,
                std::function<void(const StoredFile &)> then)
{
    auto *watcher = new QFutureWatcher<StoredFile>(context);
    QObject::connect(watcher, &QFutureWatcherBase::finished, context,
                     [watcher, then = std::move(then)] {
                         watcher->deleteLater();
                         then(watcher->result());
                     });
    watcher->setFuture(stored);
}

// Counts one more empty result; true while the count allows another try one sprint back.
bool countEmptyResult(qint32 &skipCount)
{
    if (++skipCount <= kRetryBound)
        return true;
    skipCount = 0;
    return false;
}

} // namespace

void BrevantModel::downloadReceivedData(const QByteArray &data, const QUrl &address)
{
    // The mode at the data's arrival decides whether they are saved, whatever starts next.
    const bool save = mOperationDownload;
    const quint64 stops = mStops;
    const qsizetype cap = ExportRecords::exportCap(address);
    const bool full = ExportRecords::issueCount(data, cap) == cap;
    if (save && full) {
        // Jira cut the export off: the rest is fetched first, and saved with it.
        QMetaObject::invokeMethod(
            this,
            [this, data, address, cap, stops] {
                if (stops == mStops)
                    startPaging(data, address, cap);
            },
            Qt::QueuedConnection);
        return;
    }
    storeAndHandle(data, save, full ? JiraStatus::mayBeCutOff(cap) : QString(), stops);
}

void BrevantModel::storeAndHandle(const QByteArray &data, bool save, const QString &note,
                                  quint64 stops)
{
    const QFuture<StoredFile> stored = storeInBackground(data, save);
    // Model changes and the desktop are the main thread's business.
    QMetaObject::invokeMethod(
        this,
        [this, data, stored, stops, note] {
            whenStored(stored, this, [this, data, stops, note](const StoredFile &file) {
                handleExport(data, file, note, stops != mStops);
            });
        },
        Qt::QueuedConnection);
}

void BrevantModel::handleExport(const QByteArray &data, const StoredFile &file, const QString &note,
                                bool stoppedMeanwhile)
{
    reportExport(data, file, note, stoppedMeanwhile);
    // Last, so that a desktop without an application for it has the last word in the status.
    if (file.path && mServices.workspace) {
        const QString path = *file.path;
        mServices.workspace->openFileWithDefaultApplication(
            path, this, [this, path] { postStatus(JiraStatus::noApplication(path)); });
    }
}

void BrevantModel::reportExport(const QByteArray &data, const StoredFile &file, const QString &note,
                                bool stoppedMeanwhile)
{
    if (data.isEmpty()) {
        if (!stoppedMeanwhile)
            handleEmptyExport();
        return;
    }
    mSkipCount = 0;
    // The formula is for the file the user has; when the new one could not be written, that is
    // still the previous export.
    if (!file.failed) {
        mCellReference = ExportHeader::cellReference(data);
        updateResponseDate();
    }
    if (file.path && !file.failed)
        updateParameter(QStringLiteral("BV_exportSaved"), *file.path);
    if (stoppedMeanwhile)
        return;
    const qsizetype issues = ExportRecords::issueCount(data);
    QString status = file.failed ? JiraStatus::notWritten(file.error)
                     : file.path ? JiraStatus::saved(issues, *file.path)
                                 : JiraStatus::found(issues, sprintStartText(), sprintEndText());
    if (!file.failed)
        status += note;
    finishChain(status);
}

void BrevantModel::handleEmptyExport()
{
    const QString start = sprintStartText();
    const QString end = sprintEndText();
    if (!mSkipNoneFound) {
        finishChain(JiraStatus::noIssues(start, end));
        return;
    }
    if (!countEmptyResult(mSkipCount)) {
        finishChain(JiraStatus::gaveUp(start, end, kRetryBound));
        return;
    }
    postStatus(JiraStatus::steppingBack(start, end, mSkipCount, kRetryBound));
    mSteppingBack = true;
    previousSprint();
    const bool exporting = mOperationDownload;
    // The same command, one sprint back; the chain goes on, so it is not refused as busy.
    QMetaObject::invokeMethod(
        this,
        [this, exporting, stops = quint64(mStops)] {
            if (stops == mStops)
                startJiraCommand(exporting ? QStringLiteral("downloadCSV")
                                           : QStringLiteral("jiraSearch"),
                                 exporting);
        },
        Qt::QueuedConnection);
}

void BrevantModel::downloadFailed(int httpStatus, const QString &reason)
{
    // A fetch that Stop aborted, or one nobody waits for, ends nothing.
    if (mJiraBusy)
        finishChain(JiraStatus::fetchFailed(httpStatus, reason));
}
