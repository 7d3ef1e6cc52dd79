// Analyses export files on a worker thread, so that the largest export never holds up a window;
// a newer request replaces one still running.
#pragma once

#include "SprintReport.h"

#include <QFutureWatcher>
#include <QObject>
#include <QString>

class SprintReportLoader final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SprintReportLoader)

public:
    explicit SprintReportLoader(QObject *parent = nullptr);
    ~SprintReportLoader() override;

    // Starts analysing the file; the sprint's day texts go into the report as given.
    void load(const QString &path, const QString &sprintStart, const QString &sprintEnd);
    // Stops the analysis running, if any; nothing is reported for it.
    void cancel();

Q_SIGNALS:
    // How much of the file has been read, in thousandths.
    void progressed(int permille);
    void loaded(const QString &path, const SprintReport &report);

private:
    void reportFinished();

    QFutureWatcher<SprintReport> mWatcher;
    QString mPath;
    QString mSprintStart;
    QString mSprintEnd;
};
