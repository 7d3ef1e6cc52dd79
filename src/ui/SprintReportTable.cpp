#include "SprintReportTable.h"

namespace {

// Open issues and those without a span sort below every measured one, slowest first.
constexpr qint64 kOpenSortValue = -1;
constexpr qint64 kUnusableSortValue = -2;

// "ABC-12" as "ABC-000000000012", so that ABC-9 comes before ABC-10.
QString keySortValue(const QString &key)
{
    qsizetype digits = key.size();
    while (digits > 0 && key[digits - 1].isDigit())
        --digits;
    if (digits == key.size())
        return key;
    return key.first(digits) + key.sliced(digits).rightJustified(12, u'0');
}

} // namespace

void SprintReportTable::setReport(const SprintReport &report)
{
    beginResetModel();
    mIssues = report.rows;
    mTexts = report.rowTexts;
    endResetModel();
}

QString SprintReportTable::keyAt(int row) const
{
    return row >= 0 && row < mIssues.size() ? key(mIssues[row]) : QString();
}

QString SprintReportTable::key(const ReportIssue &issue) const
{
    return QString::fromUtf8(QByteArrayView(mTexts).sliced(issue.textAt, issue.keySize));
}

// On one line: a summary's line breaks would make rows of differing heights.
QString SprintReportTable::summary(const ReportIssue &issue) const
{
    return QString::fromUtf8(
               QByteArrayView(mTexts).sliced(issue.textAt + issue.keySize, issue.summarySize))
        .simplified();
}

int SprintReportTable::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(mIssues.size());
}

int SprintReportTable::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant SprintReportTable::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= mIssues.size())
        return {};
    const ReportIssue &issue = mIssues[index.row()];
    switch (role) {
    case Qt::DisplayRole:
        return displayText(issue, index.column());
    case Qt::ToolTipRole:
        return index.column() == SummaryColumn ? summary(issue) : QVariant();
    case Qt::TextAlignmentRole:
        return index.column() == DaysColumn ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                                            : QVariant();
    case SortRole:
        return sortValue(issue, index.column());
    default:
        return {};
    }
}

QVariant SprintReportTable::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case KeyColumn:
        return tr("Key");
    case SummaryColumn:
        return tr("Summary");
    case DaysColumn:
        return tr("Days");
    default:
        return {};
    }
}

QVariant SprintReportTable::displayText(const ReportIssue &issue, int column) const
{
    switch (column) {
    case KeyColumn:
        return key(issue);
    case SummaryColumn:
        return summary(issue);
    case DaysColumn:
        switch (issue.span) {
        case ReportIssue::Span::Days:
            return QString::number(issue.days);
        case ReportIssue::Span::Open:
            return tr("open");
        case ReportIssue::Span::Unusable:
            return tr("no usable span");
        }
    }
    return {};
}

QVariant SprintReportTable::sortValue(const ReportIssue &issue, int column) const
{
    switch (column) {
    case KeyColumn:
        return keySortValue(key(issue));
    case SummaryColumn:
        return summary(issue).toLower();
    default:
        return issue.span == ReportIssue::Span::Days   ? issue.days
               : issue.span == ReportIssue::Span::Open ? kOpenSortValue
                                                       : kUnusableSortValue;
    }
}
