// What happens to a fetched export: kept as JIRA.csv, an empty result stepped over one sprint
// back, and the work-days formula taken from the header line.
#include "BrevantModel.h"
#include "ExportFile.h"
#include "ExportHeader.h"
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

void BrevantModel::downloadReceivedData(const QByteArray &data)
{
    // The mode at the data's arrival decides whether they are saved, whatever starts next.
    const QFuture<StoredFile> stored = storeInBackground(data, mOperationDownload);
    // Model changes and the desktop are the main thread's business.
    QMetaObject::invokeMethod(
        this,
        [this, data, stored] {
            whenStored(stored, this, [this, data](const StoredFile &file) {
                if (file.path && mServices.workspace)
                    mServices.workspace->openFile(*file.path);
                if (!data.isEmpty()) {
                    mSkipCount = 0;
                    // The formula is for the file the user has; when the new one could not be
                    // written, that is still the previous export.
                    if (file.failed)
                        return;
                    mCellReference = ExportHeader::cellReference(data);
                    updateResponseDate();
                } else if (mSkipNoneFound && countEmptyResult(mSkipCount)) {
                    previousSprint();
                    const bool exporting = mOperationDownload;
                    QMetaObject::invokeMethod(
                        this, [this, exporting] { exporting ? downloadCSV() : jiraSearch(); },
                        Qt::QueuedConnection);
                }
            });
        },
        Qt::QueuedConnection);
}
