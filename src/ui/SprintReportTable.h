// The issues of a sprint report as a table: key, summary and days, sortable by each.
#pragma once

#include "SprintReport.h"

#include <QAbstractTableModel>

class SprintReportTable final : public QAbstractTableModel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SprintReportTable)

public:
    enum Column
    {
        KeyColumn,
        SummaryColumn,
        DaysColumn,
        ColumnCount
    };
    // The role whose values the columns sort by: days as numbers, keys by project and number.
    static constexpr int SortRole = Qt::UserRole;

    using QAbstractTableModel::QAbstractTableModel;

    // The report's issues; the table keeps its own share of them.
    void setReport(const SprintReport &report);
    QString keyAt(int row) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QVariant displayText(const ReportIssue &issue, int column) const;
    QVariant sortValue(const ReportIssue &issue, int column) const;
    QString key(const ReportIssue &issue) const;
    QString summary(const ReportIssue &issue) const;

    QList<ReportIssue> mIssues;
    QByteArray mTexts;
};
