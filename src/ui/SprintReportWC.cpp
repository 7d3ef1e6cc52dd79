#include "SprintReportWC.h"

#include "BrevantModel.h"
#include "ExportFile.h"
#include "HistogramChart.h"
#include "JiraStatus.h"
#include "SprintReportTable.h"

#include <QChartView>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QSplitter>
#include <QStackedWidget>
#include <QStandardPaths>
#include <QTableView>
#include <QVBoxLayout>

namespace {

enum Page
{
    MessagePage,
    ProgressPage,
    ReportPage
};

// Days as the window shows them: at most two decimals, the locale's decimal point.
QString daysText(double days)
{
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale.toString(std::round(days * 100) / 100, 'g', 15);
}

QString countText(qsizetype count)
{
    return QLocale().toString(count);
}

// A value the keyboard can reach and a screen reader reads with its caption.
QLabel *valueLabel(const QString &caption, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    label->setFocusPolicy(Qt::TabFocus);
    label->setAccessibleName(caption);
    return label;
}

} // namespace

SprintReportWC::SprintReportWC(BrevantModel &model, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , bv(model)
{
    setObjectName(QStringLiteral("sprintReportWindow"));
    setWindowTitle(tr("Sprint Report"));
    // The main window alone decides when the program ends.
    setAttribute(Qt::WA_QuitOnClose, false);
    resize(900, 720);

    mTitle = valueLabel(tr("Span measured"), this);
    mTitle->setObjectName(QStringLiteral("reportTitle"));
    QFont titleFont = mTitle->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.3);
    titleFont.setBold(true);
    mTitle->setFont(titleFont);
    mSource = valueLabel(tr("Export analysed"), this);
    mSource->setObjectName(QStringLiteral("reportSource"));
    mSource->setWordWrap(true);

    mPages = new QStackedWidget(this);
    mMessage = valueLabel(tr("Report message"), mPages);
    mMessage->setObjectName(QStringLiteral("reportMessage"));
    mMessage->setWordWrap(true);
    mMessage->setAlignment(Qt::AlignCenter);
    mMessage->setText(tr("No export yet. Export CSV from Jira, or open an export file with "
                         "File > Open Export…"));
    mPages->insertWidget(MessagePage, mMessage);
    mPages->insertWidget(ProgressPage, createProgressPage());
    mPages->insertWidget(ReportPage, createReportPage());

    auto *open = new QPushButton(tr("&Open Export…"), this);
    open->setObjectName(QStringLiteral("openExportButton"));
    mCopyButton = new QPushButton(tr("&Copy Report"), this);
    mCopyButton->setObjectName(QStringLiteral("copyReportButton"));
    mCopyButton->setToolTip(tr("Copy sprint start, end, issues, done, median, 85th percentile "
                               "and maximum as one tab-separated line"));
    mCopyButton->setEnabled(false);
    mCopied = new QLabel(this);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(open);
    buttons->addStretch();
    buttons->addWidget(mCopied);
    buttons->addWidget(mCopyButton);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(mTitle);
    layout->addWidget(mSource);
    layout->addWidget(mPages, 1);
    layout->addLayout(buttons);

    connect(open, &QPushButton::clicked, this, &SprintReportWC::openExport);
    connect(mCopyButton, &QPushButton::clicked, this, &SprintReportWC::copyReport);
    connect(&mLoader, &SprintReportLoader::progressed, this, &SprintReportWC::showProgress);
    connect(&mLoader, &SprintReportLoader::loaded, this, &SprintReportWC::showReport);
}

QWidget *SprintReportWC::createProgressPage()
{
    auto *page = new QWidget(mPages);
    mProgressText = new QLabel(page);
    mProgressText->setAlignment(Qt::AlignCenter);
    mProgress = new QProgressBar(page);
    mProgress->setObjectName(QStringLiteral("reportProgress"));
    mProgress->setAccessibleName(tr("Analysis progress"));
    mProgress->setRange(0, 1000);
    auto *layout = new QVBoxLayout(page);
    layout->addStretch();
    layout->addWidget(mProgressText);
    layout->addWidget(mProgress);
    layout->addStretch();
    return page;
}

QWidget *SprintReportWC::createReportPage()
{
    auto *page = new QWidget(mPages);
    auto *numbers = new QGridLayout;
    mIssues = addNumber(*numbers, 0, 0, tr("Issues"));
    mDone = addNumber(*numbers, 0, 1, tr("Done (both dates)"));
    mOpen = addNumber(*numbers, 0, 2, tr("Still open (no end date)"));
    mMedian = addNumber(*numbers, 2, 0, tr("Median days"));
    mMean = addNumber(*numbers, 2, 1, tr("Mean days"));
    mPercentile = addNumber(*numbers, 2, 2, tr("85th percentile days"));
    mMaximum = addNumber(*numbers, 2, 3, tr("Maximum days"));
    mUnusable = valueLabel(tr("Issues without a usable span"), page);
    mUnusable->setObjectName(QStringLiteral("reportUnusable"));

    mChart = new QChartView(page);
    mChart->setObjectName(QStringLiteral("reportChart"));
    mChart->setRenderHint(QPainter::Antialiasing);
    mChart->setMinimumHeight(220);

    mTable = new SprintReportTable(this);
    mSorted = new QSortFilterProxyModel(this);
    mSorted->setSourceModel(mTable);
    mSorted->setSortRole(SprintReportTable::SortRole);
    mIssueList = new QTableView(page);
    mIssueList->setObjectName(QStringLiteral("reportIssues"));
    mIssueList->setAccessibleName(tr("Issues, slowest first"));
    mIssueList->setModel(mSorted);
    mIssueList->setSortingEnabled(true);
    mIssueList->sortByColumn(SprintReportTable::DaysColumn, Qt::DescendingOrder);
    mIssueList->setSelectionBehavior(QAbstractItemView::SelectRows);
    mIssueList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    mIssueList->setWordWrap(false);
    mIssueList->verticalHeader()->hide();
    mIssueList->horizontalHeader()->setSectionResizeMode(SprintReportTable::SummaryColumn,
                                                         QHeaderView::Stretch);
    mIssueList->setToolTip(tr("Double-click an issue to open it in the browser window"));
    connect(mIssueList, &QTableView::activated, this, &SprintReportWC::openIssueAt);

    auto *split = new QSplitter(Qt::Vertical, page);
    split->addWidget(mChart);
    split->addWidget(mIssueList);
    split->setChildrenCollapsible(false);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);

    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(numbers);
    layout->addWidget(mUnusable);
    layout->addWidget(split, 1);
    return page;
}

// A caption over its value, at row and row + 1 of the grid.
QLabel *SprintReportWC::addNumber(QGridLayout &grid, int row, int column, const QString &caption)
{
    auto *title = new QLabel(caption);
    auto *value = valueLabel(caption, nullptr);
    QFont big = value->font();
    big.setPointSizeF(big.pointSizeF() * 1.4);
    value->setFont(big);
    title->setBuddy(value);
    grid.addWidget(title, row, column);
    grid.addWidget(value, row + 1, column);
    return value;
}

void SprintReportWC::showExport(const QString &path)
{
    mLoadingPath = path;
    mCopied->clear();
    mCopyButton->setEnabled(false);
    mProgressText->setText(tr("Analysing %1…").arg(QFileInfo(path).fileName()));
    mSource->setText(JiraStatus::shownPath(path));
    mProgress->setValue(0);
    mPages->setCurrentIndex(ProgressPage);
    mLoader.load(path, bv.sprintStartText(), bv.sprintEndText());
}

void SprintReportWC::present()
{
    if (mLoadingPath.isEmpty()) {
        const QString last = ExportFile::destinationPath();
        if (QFileInfo(last).isFile())
            showExport(last);
    }
    show();
    raise();
    activateWindow();
}

void SprintReportWC::openExport()
{
    const QString folder = mLoadingPath.isEmpty()
                               ? QStandardPaths::writableLocation(QStandardPaths::DownloadLocation)
                               : QFileInfo(mLoadingPath).absolutePath();
    const QString path = QFileDialog::getOpenFileName(this, tr("Open Export"), folder,
                                                      tr("CSV exports (*.csv);;All files (*)"));
    if (path.isEmpty())
        return;
    showExport(path);
    present();
}

void SprintReportWC::showReport(const QString &path, const SprintReport &report)
{
    mReport = report;
    mSource->setText(tr("%1 · sprint %2 to %3")
                         .arg(JiraStatus::shownPath(path), report.sprintStart, report.sprintEnd));
    mSource->setToolTip(path);
    if (report.outcome != SprintReport::Outcome::Ready) {
        mTitle->setText(tr("No span to measure"));
        mMessage->setText(report.problem());
        mPages->setCurrentIndex(MessagePage);
        Q_EMIT reportShown();
        return;
    }
    mTitle->setText(report.spanTitle());
    showNumbers(report);
    showChart(report);
    mTable->setReport(report);
    mCopyButton->setEnabled(true);
    mPages->setCurrentIndex(ReportPage);
    // The list is where the keyboard is most use, not a caret in the title.
    mIssueList->setFocus();
    Q_EMIT reportShown();
}

void SprintReportWC::showNumbers(const SprintReport &report)
{
    mIssues->setText(countText(report.issues));
    mDone->setText(countText(report.done));
    mOpen->setText(countText(report.open));
    mUnusable->setVisible(report.unusable > 0);
    mUnusable->setText(report.unusable == 1
                           ? tr("1 issue without a usable span")
                           : tr("%1 issues without a usable span").arg(countText(report.unusable)));
    const auto &statistics = report.statistics;
    const QString none = tr("—");
    mMedian->setText(statistics ? daysText(statistics->median) : none);
    mMean->setText(statistics ? daysText(statistics->mean) : none);
    mPercentile->setText(statistics ? daysText(statistics->percentile85) : none);
    mMaximum->setText(statistics ? countText(statistics->maximum) : none);
}

void SprintReportWC::showChart(const SprintReport &report)
{
    QChart *old = mChart->chart();
    mChart->setChart(HistogramChart::create(report.histogram));
    delete old;
    mChart->setAccessibleName(tr("Histogram of days per issue"));
    mChart->setAccessibleDescription(report.histogram.isEmpty()
                                         ? tr("No issue has both dates.")
                                         : HistogramChart::description(report.histogram));
}

void SprintReportWC::showProgress(int permille)
{
    mProgress->setValue(permille);
}

void SprintReportWC::copyReport()
{
    const bool copied = bv.writeToPasteBoard(mReport.summaryLine());
    mCopied->setText(copied ? tr("Copied to the clipboard") : tr("The clipboard took nothing"));
}

void SprintReportWC::openIssueAt(const QModelIndex &index)
{
    const QString key = mTable->keyAt(mSorted->mapToSource(index).row());
    if (!key.isEmpty())
        bv.showIssue(key);
}
