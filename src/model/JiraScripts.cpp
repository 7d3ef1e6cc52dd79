#include "JiraScripts.h"

#include "BrowserWindow.h"
#include "Log.h"

#include <QJsonDocument>

namespace {

// What a missing value reads as in a diagnostic line.
const QString kNoValue = QStringLiteral("(null)");

QString escapeSequence(QChar c)
{
    switch (c.unicode()) {
    case u'\\':
        return QStringLiteral("\\\\");
    case u'\'':
        return QStringLiteral("\\'");
    case u'"':
        return QStringLiteral("\\\"");
    case u'\n':
        return QStringLiteral("\\n");
    case u'\r':
        return QStringLiteral("\\r");
    default:
        break;
    }
    // Line terminators and other controls end or garble a literal; as escapes they stay in it.
    if (c.unicode() < 0x20 || c.unicode() == 0x2028 || c.unicode() == 0x2029)
        return QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
    return {};
}

QString resultText(const QVariant &result)
{
    if (!result.isValid() || result.isNull())
        return kNoValue;
    // Objects and arrays read as JSON; a scalar has a text of its own.
    const QJsonDocument document = QJsonDocument::fromVariant(result);
    if (!document.isNull())
        return QString::fromUtf8(document.toJson(QJsonDocument::Compact));
    return result.toString();
}

} // namespace

namespace JiraScripts {

QString setSearchText(const std::optional<QString> &text)
{
    return QStringLiteral("document.getElementById('advanced-search').value = '%1'")
        .arg(escapedForSingleQuotes(text.value_or(QString())));
}

QString pressSearch()
{
    return QStringLiteral("document.querySelector('button.aui-item.aui-button.aui-button-subtle."
                          "search-button').click();");
}

QString openExportMenu()
{
    return QStringLiteral("document.getElementsByClassName('aui-button header-views "
                          "header-operations aui-dropdown-trigger standard lnk no-icon')[0]."
                          "click();");
}

QString clickCsvExport()
{
    return QStringLiteral("var evt = new MouseEvent('click', { bubbles: true, cancelable: true, "
                          "view: window });                         "
                          "document.getElementById('currentCsvFields').dispatchEvent(evt);");
}

QString escapedForSingleQuotes(const QString &text)
{
    QString escaped;
    escaped.reserve(text.size());
    for (const QChar c : text) {
        const QString sequence = escapeSequence(c);
        if (sequence.isEmpty())
            escaped.append(c);
        else
            escaped.append(sequence);
    }
    return escaped;
}

void logFailure(const ScriptOutcome &outcome)
{
    logLine(QStringLiteral("Error ") % (outcome.error.isEmpty() ? kNoValue : outcome.error));
    logLine(QStringLiteral("Result ") % resultText(outcome.result));
}

} // namespace JiraScripts
