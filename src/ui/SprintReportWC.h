// The sprint report window: the numbers of an export's spans, a histogram of them and the issues
// slowest first. It follows every saved export and any export file the user opens.
#pragma once

#include "SprintReport.h"
#include "SprintReportLoader.h"

#include <QWidget>

class BrevantModel;
class QChartView;
class QGridLayout;
class QLabel;
class QProgressBar;
class QPushButton;
class QSortFilterProxyModel;
class QStackedWidget;
class QTableView;
class SprintReportTable;

class SprintReportWC final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SprintReportWC)

public:
    explicit SprintReportWC(BrevantModel &model, QWidget *parent = nullptr);

    // Analyses the export file for the model's current sprint; the window shows its progress,
    // then the report.
    void showExport(const QString &path);
    // Brings the window to the front; the first time, with the last export there is, if any.
    void present();
    // Asks for an export file and shows it.
    void openExport();
    const SprintReport &report() const { return mReport; }

Q_SIGNALS:
    // A report is shown, or could not be made.
    void reportShown();

private:
    QWidget *createReportPage();
    QWidget *createProgressPage();
    QLabel *addNumber(QGridLayout &grid, int row, int column, const QString &caption);
    void showReport(const QString &path, const SprintReport &report);
    void showNumbers(const SprintReport &report);
    void showChart(const SprintReport &report);
    void showProgress(int permille);
    void copyReport();
    void openIssueAt(const QModelIndex &index);

    BrevantModel &bv;
    SprintReportLoader mLoader;
    SprintReport mReport;
    QString mLoadingPath;
    QLabel *mTitle = nullptr;
    QLabel *mSource = nullptr;
    QStackedWidget *mPages = nullptr;
    QLabel *mMessage = nullptr;
    QLabel *mProgressText = nullptr;
    QProgressBar *mProgress = nullptr;
    QLabel *mIssues = nullptr;
    QLabel *mDone = nullptr;
    QLabel *mOpen = nullptr;
    QLabel *mUnusable = nullptr;
    QLabel *mMedian = nullptr;
    QLabel *mMean = nullptr;
    QLabel *mPercentile = nullptr;
    QLabel *mMaximum = nullptr;
    QChartView *mChart = nullptr;
    SprintReportTable *mTable = nullptr;
    QSortFilterProxyModel *mSorted = nullptr;
    QTableView *mIssueList = nullptr;
    QPushButton *mCopyButton = nullptr;
    QLabel *mCopied = nullptr;
};
