#include "SprintReport.h"

#include <QCoreApplication>
#include <QLocale>

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("SprintReport", text);
}

// As a spreadsheet shows a number: up to fifteen significant digits, no group separators.
QString spreadsheetNumber(double value)
{
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale.toString(value, 'g', 15);
}

} // namespace

QString SprintReport::spanTitle() const
{
    return tr("Days from %1 to %2").arg(startTitle, endTitle);
}

QString SprintReport::problem() const
{
    switch (outcome) {
    case Outcome::Ready:
        return {};
    case Outcome::Unreadable:
        return tr("The export could not be read: %1").arg(readError);
    case Outcome::Empty:
        return tr("The export is empty: it has no header line.");
    case Outcome::NoCreatedColumn:
        return tr("The export has no \"Created\" column, so there is no span to measure.");
    case Outcome::NoColumnAfterCreated:
        return tr("\"Created\" is the export's last column, so there is no end date to measure "
                  "to.");
    }
    return {};
}

QString SprintReport::summaryLine() const
{
    QStringList fields{sprintStart, sprintEnd, QString::number(issues), QString::number(done)};
    if (statistics) {
        fields << spreadsheetNumber(statistics->median)
               << spreadsheetNumber(statistics->percentile85)
               << QString::number(statistics->maximum);
    } else {
        fields << QString() << QString() << QString();
    }
    return fields.join(u'\t');
}
