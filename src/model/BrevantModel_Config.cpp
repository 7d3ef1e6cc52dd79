// Loading the configuration dictionaries, and the commands that open the pages they name and
// show the template file.
#include "BrevantModel.h"
#include "Log.h"
#include "PathOperations.h"
#include "PropertyListReader.h"
#include "SupportFolder.h"
#include "Workspace.h"

#include <QFileInfo>
#include <QUrl>

namespace {

// The file's path when it is there; otherwise its absence is reported in the dictionary's own
// words and nothing is read.
std::optional<QString> existingConfigurationFile(const QString &folder, const QString &name,
                                                 const QString &missingMessage)
{
    const QString path = appendingPathComponent(folder, name) + QStringLiteral(".plist");
    if (QFileInfo::exists(path))
        return path;
    logLine(missingMessage);
    return std::nullopt;
}

void openSitePage(const std::optional<StringDictionary> &sites, const QString &key,
                  Workspace *workspace)
{
    const QString address = sites ? sites->value(key) : QString();
    if (address.isEmpty() || !workspace)
        return;
    const QUrl url(address);
    if (!url.isValid()) {
        logLine(QStringLiteral("Not a web address: ") + address);
        return;
    }
    workspace->openURL(url);
}

} // namespace

void BrevantModel::loadQueryTextD()
{
    const QString folder = appSupportFolder();
    if (const std::optional<QString> path = existingConfigurationFile(
            folder, QStringLiteral("EngineeringQueryText"),
            QStringLiteral("EngineeringQueryText dictionary was not found.")))
        setEngineeringQueryTextD(readStringDictionary(*path));
    if (const std::optional<QString> path = existingConfigurationFile(
            folder, QStringLiteral("IndividualQueryText"),
            QStringLiteral("IndividualQueryText dictionary was not found.")))
        setIndividualQueryTextD(readStringDictionary(*path));
    if (const std::optional<QString> path =
            existingConfigurationFile(folder, QStringLiteral("JiraUsers"),
                                      QStringLiteral("Jira Users dictionary was not found.")))
        setJiraUsersD(readJiraUsersDictionary(*path));
    if (const std::optional<QString> path = existingConfigurationFile(
            folder, QStringLiteral("SiteURL"), QStringLiteral("SiteURL dictionary was not found.")))
        setSiteURLD(readStringDictionary(*path));
}

void BrevantModel::openQueryPage()
{
    openSitePage(mSiteURLD, QStringLiteral("queryPage"), mServices.workspace);
}

void BrevantModel::openMetricsPage()
{
    openSitePage(mSiteURLD, QStringLiteral("metricsPage"), mServices.workspace);
}

void BrevantModel::showTemplateFile()
{
    const QString folder = appSupportFolder();
    QString templateFile;
    if (mQueryTabIdentifier == QStringLiteral("Engineering"))
        templateFile = appendingPathComponent(folder, QStringLiteral("EngineeringQueryText.plist"));
    else if (mQueryTabIdentifier == QStringLiteral("Individual"))
        templateFile = appendingPathComponent(folder, QStringLiteral("IndividualQueryText.plist"));
    if (!mServices.workspace)
        return;
    mServices.workspace->openFile(folder);
    if (!templateFile.isEmpty())
        mServices.workspace->selectFile(templateFile, QString());
}
