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

QString configurationFilePath(const QString &folder, const QString &name)
{
    return appendingPathComponent(folder, name) + QStringLiteral(".plist");
}

// Only a file that is there is read; its absence is reported in the dictionary's own words.
bool configurationFileExists(const QString &path, const QString &missingMessage)
{
    if (QFileInfo::exists(path))
        return true;
    logLine(missingMessage);
    return false;
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
    const QString engineering =
        configurationFilePath(folder, QStringLiteral("EngineeringQueryText"));
    if (configurationFileExists(engineering,
                                QStringLiteral("EngineeringQueryText dictionary was not found.")))
        setEngineeringQueryTextD(readStringDictionary(engineering));
    const QString individual = configurationFilePath(folder, QStringLiteral("IndividualQueryText"));
    if (configurationFileExists(individual,
                                QStringLiteral("IndividualQueryText dictionary was not found.")))
        setIndividualQueryTextD(readStringDictionary(individual));
    const QString users = configurationFilePath(folder, QStringLiteral("JiraUsers"));
    if (configurationFileExists(users, QStringLiteral("Jira Users dictionary was not found.")))
        setJiraUsersD(readJiraUsersDictionary(users));
    const QString sites = configurationFilePath(folder, QStringLiteral("SiteURL"));
    if (configurationFileExists(sites, QStringLiteral("SiteURL dictionary was not found.")))
        setSiteURLD(readStringDictionary(sites));
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
