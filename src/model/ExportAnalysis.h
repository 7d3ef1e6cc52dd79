// Works out a sprint report from a CSV export, record by record, so that an export of any size is
// read once and never held whole.
#pragma once

#include "CsvScanner.h"
#include "SprintReport.h"

#include <QByteArrayView>
#include <QList>
#include <QString>

#include <functional>

class ExportAnalysis
{
public:
    // Told how many bytes of how many have been read; answers false to stop reading.
    using Progress = std::function<bool(qint64 read, qint64 total)>;

    // The report of an export held in memory.
    static SprintReport ofData(QByteArrayView data);
    // The report of an export file; a stopped analysis gives nothing.
    static std::optional<SprintReport> ofFile(const QString &path, const Progress &progress);

    void addHeader(const CsvFields &titles);
    void addRecord(const CsvFields &fields);
    // The report of every record added, the histogram and statistics worked out.
    SprintReport finish();

private:
    SprintReport mReport;
    // Where quoted dates are decoded, kept from record to record.
    QByteArray mStartText;
    QByteArray mEndText;
    qsizetype mStartColumn = -1;
    qsizetype mKeyColumn = -1;
    qsizetype mSummaryColumn = -1;
};
