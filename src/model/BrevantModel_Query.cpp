// The sprint window, the query text and the work-days line derived from the model's inputs.
#include "BrevantModel.h"
#include "SprintDates.h"

using SprintDates::addDaysWithinSpan;
using SprintDates::dayText;

namespace {

QString decimalText(qint64 value)
{
    return QString::number(value);
}

// Every occurrence, ignoring case; the inserted text is not searched again by the same step.
void replacePlaceholder(OptionalString &text, const QString &placeholder, const QString &value)
{
    if (text)
        text->replace(placeholder, value, Qt::CaseInsensitive);
}

OptionalString templateText(const OptionalString &name,
                            const std::optional<StringDictionary> &dictionary)
{
    if (!name || !dictionary)
        return std::nullopt;
    const auto entry = dictionary->constFind(*name);
    if (entry == dictionary->cend())
        return std::nullopt;
    return *entry;
}

} // namespace

void BrevantModel::updateQueryParameters()
{
    const qint64 d = mSprintDurationDays;
    if (mSprintEndDate)
        updateParameter(QStringLiteral("BV_sprintEndDate"), *mSprintEndDate);
    updateParameter(QStringLiteral("BV_daysField"), decimalText(d));
    const bool namedLength = d == 1 || d % 7 == 0;
    updateParameter(QStringLiteral("BV_sprintDurationPopUp"),
                    namedLength ? decimalText(d) : QStringLiteral("0"));
    if (mEngineeringQueryName)
        updateParameter(QStringLiteral("BV_engineeringQueryName"), *mEngineeringQueryName);
    if (mIndividualQueryName)
        updateParameter(QStringLiteral("BV_individualQueryName"), *mIndividualQueryName);

    // Without an end date there is no sprint window: no dates, no query text, no work-days line.
    if (!mSprintEndDate) {
        mQueryText.reset();
        return;
    }
    const QDateTime &end = *mSprintEndDate;
    const QDateTime start = addDaysWithinSpan(end, SprintDates::saturatingSub(1, d));
    updateParameter(QStringLiteral("BV_sprintStartDate"), start);

    const QString s = dayText(start);
    const QString e = dayText(end);
    const QString b = dayText(addDaysWithinSpan(start, -1));

    OptionalString text;
    if (mQueryTabIdentifier == QStringLiteral("Engineering"))
        text = templateText(mEngineeringQueryName, mEngineeringQueryTextD);
    else if (mQueryTabIdentifier == QStringLiteral("Individual"))
        text = templateText(mIndividualQueryName, mIndividualQueryTextD);

    // The order is fixed: later steps search the text inserted by earlier ones, and the user
    // name goes in last.
    replacePlaceholder(text, QStringLiteral("{created}"),
                       QStringLiteral("created >= %1 AND created <= %2").arg(s, e));
    const QString duringStart = start == end ? b : s;
    replacePlaceholder(text, QStringLiteral("{during}"),
                       QStringLiteral("(%1, %2)").arg(duringStart, e));
    replacePlaceholder(text, QStringLiteral("{startDate}"), s);
    replacePlaceholder(text, QStringLiteral("{endDate}"), e);
    if (mJiraUsername && !mJiraUsername->isEmpty())
        replacePlaceholder(text, QStringLiteral("currentUser()"), *mJiraUsername);

    if (text)
        updateParameter(QStringLiteral("BV_queryText"), *text);
    mQueryText = text;
    updateResponseDate();
}

void BrevantModel::updateResponseDate()
{
    if (!mSprintEndDate)
        return;
    const qint64 d = mSprintDurationDays;
    const qint64 h = d / 2;
    const QDateTime middle = addDaysWithinSpan(*mSprintEndDate, -h);
    const bool odd = (d & 1) != 0;
    const QString line = dayText(middle) %
                         (odd ? QStringLiteral(" 11:59 AM") : QStringLiteral(" 11:59 PM")) %
                         mCellReference;
    updateParameter(QStringLiteral("BV_workDays"), line);
}

void BrevantModel::previousSprint()
{
    if (mSprintEndDate)
        mSprintEndDate = addDaysWithinSpan(*mSprintEndDate,
                                           SprintDates::saturatingNegation(mSprintDurationDays));
    updateQueryParameters();
}

void BrevantModel::nextSprint()
{
    if (mSprintEndDate)
        mSprintEndDate = addDaysWithinSpan(*mSprintEndDate, mSprintDurationDays);
    updateQueryParameters();
}

void BrevantModel::setSprintStartDate(const QDateTime &date)
{
    // With no end date or no valid start there is no interval to take a length from.
    if (!mSprintEndDate || !date.isValid())
        return;
    mSprintDurationDays =
        SprintDates::saturatingAdd(SprintDates::wholeDaysBetween(date, *mSprintEndDate), 1);
    updateQueryParameters();
}

void BrevantModel::setQueryText(const QString &text)
{
    mQueryText = text;
}

QString BrevantModel::sprintStartText() const
{
    if (!mSprintEndDate)
        return {};
    return dayText(
        addDaysWithinSpan(*mSprintEndDate, SprintDates::saturatingSub(1, mSprintDurationDays)));
}

QString BrevantModel::sprintEndText() const
{
    return mSprintEndDate ? dayText(*mSprintEndDate) : QString();
}
