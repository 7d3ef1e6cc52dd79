// Loading the configuration dictionaries, and the commands that open the pages they name and
// show the template file.
#include "BrevantModel.h"
#include "ConcurrentRead.h"
#include "Log.h"
#include "PathOperations.h"
#include "PropertyListReader.h"
#include "SupportFolder.h"
#include "Workspace.h"

#include <QFileInfo>
#include <QUrl>

namespace {

// The file's path when it is there.
std::optional<QString> existingConfigurationFile(const QString &folder, const QString &name)
{
    const QString path = appendingPathComponent(folder, name) + QStringLiteral(".plist");
    if (QFileInfo::exists(path))
        return path;
    return std::nullopt;
}

// The dictionary read, for the setter; a missing file is reported in the dictionary's own words
// and leaves the field unchanged.
template<typename Dictionary, typename Setter>
void takeResult(ConcurrentRead<Dictionary> &reading, const QString &missingMessage, Setter set)
{
    if (std::optional<std::optional<Dictionary>> read = reading.result())
        set(std::move(*read));
    else
        logLine(missingMessage);
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
    // Read side by side, so that a large template file and a large user file cost the launch
    // little more than the larger of the two; taken, and reported, in this order.
    ConcurrentRead<StringDictionary> engineering(
        existingConfigurationFile(folder, QStringLiteral("EngineeringQueryText")),
        readStringDictionary);
    ConcurrentRead<StringDictionary> individual(
        existingConfigurationFile(folder, QStringLiteral("IndividualQueryText")),
        readStringDictionary);
    ConcurrentRead<JiraUsersDictionary> users(
        existingConfigurationFile(folder, QStringLiteral("JiraUsers")), readJiraUsersDictionary);
    ConcurrentRead<StringDictionary> sites(
        existingConfigurationFile(folder, QStringLiteral("SiteURL")), readStringDictionary);
    takeResult(engineering, QStringLiteral("EngineeringQueryText dictionary was not found."),
               [this](auto read) { setEngineeringQueryTextD(read); });
    takeResult(individual, QStringLiteral("IndividualQueryText dictionary was not found."),
               [this](auto read) { setIndividualQueryTextD(read); });
    takeResult(users, QStringLiteral("Jira Users dictionary was not found."),
               [this](auto read) { setJiraUsersD(read); });
    takeResult(sites, QStringLiteral("SiteURL dictionary was not found."),
               [this](auto read) { setSiteURLD(read); });
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
