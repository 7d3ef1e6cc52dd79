// The support folder, loading the four configuration files, and the commands that open the
// configured pages and show the template file.
#include "BrevantModel.h"
#include "ConfigFixtures.h"
#include "LogCapture.h"
#include "ModelFakes.h"
#include "SupportFolder.h"
#include "TemporaryHome.h"

#include <QStringEncoder>
#include <QTest>

#include <memory>
#include <sys/stat.h>

using namespace fixtures;

namespace {

const QByteArray engineeringEntries = QByteArrayLiteral(
    "<key>Bugs Created</key><string>project = ABC AND issuetype = Bug AND {created}</string>\n"
    "<key>Work in Review</key><string>status was 'In Review' DURING {during}</string>\n");
const QByteArray individualEntries = QByteArrayLiteral(
    "<key>Person - Work Done</key><string>assignee = currentUser() AND resolved &gt;= "
    "{startDate}</string>\n");
const QByteArray usersEntries = QByteArrayLiteral(
    "<key>Platform</key><dict><key>Alex Moreno</key><string>amoreno</string>"
    "<key>Sam Okafor</key><string>sokafor</string></dict>\n"
    "<key>Quality</key><dict><key>Luis Ortega</key><string>lortega</string></dict>\n");
const QByteArray siteEntries = QByteArrayLiteral(
    "<key>queryPage</key><string>https://jira.example.com/secure/ManageFilters.jspa</string>\n"
    "<key>metricsPage</key><string></string>\n"
    "<key>jiraLogin</key><string>https://jira.example.com/login.jsp</string>\n"
    "<key>unused</key><string>https://elsewhere.example.com/</string>\n");

const StringDictionary expectedEngineering{
    {QStringLiteral("Bugs Created"),
     QStringLiteral("project = ABC AND issuetype = Bug AND {created}")},
    {QStringLiteral("Work in Review"), QStringLiteral("status was 'In Review' DURING {during}")}};
const JiraUsersDictionary expectedUsers{
    {QStringLiteral("Platform"),
     {{QStringLiteral("Alex Moreno"), QStringLiteral("amoreno")},
      {QStringLiteral("Sam Okafor"), QStringLiteral("sokafor")}}},
    {QStringLiteral("Quality"), {{QStringLiteral("Luis Ortega"), QStringLiteral("lortega")}}}};

const QStringList fileNames = {QStringLiteral("EngineeringQueryText"),
                               QStringLiteral("IndividualQueryText"), QStringLiteral("JiraUsers"),
                               QStringLiteral("SiteURL")};

enum class Form
{
    Xml,
    Binary
};

} // namespace

Q_DECLARE_METATYPE(Form)

class ConfigFilesTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void supportFolder_missing_isCreatedAndLoggedEachCall();
    void supportFolder_cannotBeCreated_pathReturnedWithoutLog();
    void supportFolder_throughSymbolicLink_usesTarget_data();
    void supportFolder_throughSymbolicLink_usesTarget();
    void load_everyFileInEitherForm_fillsTheDictionaries_data();
    void load_everyFileInEitherForm_fillsTheDictionaries();
    void load_missingFile_logsItsMessageAndKeepsNoDictionary_data();
    void load_missingFile_logsItsMessageAndKeepsNoDictionary();
    void load_brokenFile_givesNoDictionary_data();
    void load_brokenFile_givesNoDictionary();
    void load_notARegularFile_isNamedAndNotRead_data();
    void load_notARegularFile_isNamedAndNotRead();
    void load_asEditorsSaveIt_readsEveryCharacter_data();
    void load_asEditorsSaveIt_readsEveryCharacter();
    void load_wrongTypedEntries_skippedWithOneLineEach();
    void load_nestedAsDeepAsAllowed_isRead();
    void load_problemsInSeveralFiles_reportedInFileOrder();
    void load_shippedExamples_loadCleanlyWithEveryPlaceholder();
    void sitePages_openOnlyNonEmptyAddresses_data();
    void sitePages_openOnlyNonEmptyAddresses();
    void showTemplateFile_opensFolderAndSelectsTabFile_data();
    void showTemplateFile_opensFolderAndSelectsTabFile();

private:
    QString folder() const { return supportFolderBelow(mHome->path()); }
    void writeAll(Form form, const QString &skipped = QString());
    std::unique_ptr<BrevantModel> loadModel();

    std::unique_ptr<TemporaryHome> mHome;
    std::unique_ptr<LogCapture> mLog;
    FakeWorkspace mWorkspace;
};

void ConfigFilesTest::init()
{
    mHome = std::make_unique<TemporaryHome>();
    QVERIFY(mHome->isValid());
    mLog = std::make_unique<LogCapture>();
    mWorkspace = FakeWorkspace();
}

void ConfigFilesTest::cleanup()
{
    mLog.reset();
    mHome.reset();
}

void ConfigFilesTest::writeAll(Form form, const QString &skipped)
{
    const QList<QByteArray> entries = {engineeringEntries, individualEntries, usersEntries,
                                       siteEntries};
    for (qsizetype i = 0; i < fileNames.size(); ++i) {
        if (fileNames[i] == skipped)
            continue;
        const QByteArray xml = xmlDictionary(entries[i]);
        QVERIFY(writeFile(folder() + u'/' + fileNames[i] + QStringLiteral(".plist"),
                          form == Form::Xml ? xml : binaryFromXml(xml)));
    }
}

std::unique_ptr<BrevantModel> ConfigFilesTest::loadModel()
{
    ModelServices services;
    services.workspace = &mWorkspace;
    return std::make_unique<BrevantModel>(services);
}

void ConfigFilesTest::supportFolder_missing_isCreatedAndLoggedEachCall()
{
    QVERIFY(!QFileInfo::exists(mHome->path() + QStringLiteral("/Library")));
    QCOMPARE(appSupportFolder(), folder());
    QVERIFY(QFileInfo(folder()).isDir());
    QCOMPARE(appSupportFolder(), folder());
    QCOMPARE(mLog->lines(), QStringList(2, QStringLiteral("Using ") + folder()));
}

void ConfigFilesTest::supportFolder_cannotBeCreated_pathReturnedWithoutLog()
{
    QVERIFY(writeFile(mHome->path() + QStringLiteral("/Library"), "not a folder"));
    QCOMPARE(appSupportFolder(), folder());
    QVERIFY(mLog->lines().isEmpty());

    const std::unique_ptr<BrevantModel> model = loadModel();
    QCOMPARE(mLog->lines(),
             (QStringList{QStringLiteral("EngineeringQueryText dictionary was not found."),
                          QStringLiteral("IndividualQueryText dictionary was not found."),
                          QStringLiteral("Jira Users dictionary was not found."),
                          QStringLiteral("SiteURL dictionary was not found.")}));
}

void ConfigFilesTest::supportFolder_throughSymbolicLink_usesTarget_data()
{
    QTest::addColumn<QString>("linkPath");
    QTest::addColumn<QString>("linkTarget");
    QTest::addColumn<QString>("resolvedFolder");
    QTest::newRow("last component links to a folder elsewhere")
        << QStringLiteral("Library/Application Support/quillfen_brevant")
        << QStringLiteral("../../Dropbox/brevant") << QStringLiteral("Dropbox/brevant");
    QTest::newRow("Library links to a synced folder")
        << QStringLiteral("Library") << QStringLiteral("Synced/Library")
        << QStringLiteral("Synced/Library/Application Support/quillfen_brevant");
}

void ConfigFilesTest::supportFolder_throughSymbolicLink_usesTarget()
{
    QFETCH(QString, linkPath);
    QFETCH(QString, linkTarget);
    QFETCH(QString, resolvedFolder);
    const QString home = mHome->path();
    const QString target = home + u'/' + resolvedFolder;
    QVERIFY(writeFile(target + QStringLiteral("/EngineeringQueryText.plist"),
                      xmlDictionary(engineeringEntries)));
    const QString link = home + u'/' + linkPath;
    QVERIFY(QDir().mkpath(QFileInfo(link).absolutePath()));
    QVERIFY(QFile::link(linkTarget, link));
    QDir().mkpath(home + u'/' + QFileInfo(linkTarget).path());

    const std::unique_ptr<BrevantModel> model = loadModel();
    QCOMPARE(model->engineeringQueryTextD(), expectedEngineering);
    QCOMPARE(mLog->lines().first(), QStringLiteral("Using ") + target);
}

void ConfigFilesTest::load_everyFileInEitherForm_fillsTheDictionaries_data()
{
    QTest::addColumn<Form>("form");
    QTest::newRow("XML as users edit it") << Form::Xml;
    QTest::newRow("binary as the desktop's tools save it") << Form::Binary;
}

void ConfigFilesTest::load_everyFileInEitherForm_fillsTheDictionaries()
{
    QFETCH(Form, form);
    writeAll(form);
    const std::unique_ptr<BrevantModel> model = loadModel();
    QCOMPARE(model->engineeringQueryTextD(), expectedEngineering);
    QCOMPARE(model->individualQueryTextD(),
             (StringDictionary{
                 {QStringLiteral("Person - Work Done"),
                  QStringLiteral("assignee = currentUser() AND resolved >= {startDate}")}}));
    QCOMPARE(model->jiraUsersD(), expectedUsers);
    QCOMPARE(model->siteURLD()->value(QStringLiteral("metricsPage")), QString());
    QCOMPARE(model->siteURLD()->size(), 4);
    QCOMPARE(mLog->lines(), QStringList{QStringLiteral("Using ") + folder()});
}

void ConfigFilesTest::load_missingFile_logsItsMessageAndKeepsNoDictionary_data()
{
    QTest::addColumn<QString>("missing");
    QTest::addColumn<QString>("message");
    QTest::newRow("engineering templates")
        << fileNames[0] << QStringLiteral("EngineeringQueryText dictionary was not found.");
    QTest::newRow("individual templates")
        << fileNames[1] << QStringLiteral("IndividualQueryText dictionary was not found.");
    QTest::newRow("Jira users, in words unlike the file name")
        << fileNames[2] << QStringLiteral("Jira Users dictionary was not found.");
    QTest::newRow("site addresses")
        << fileNames[3] << QStringLiteral("SiteURL dictionary was not found.");
}

void ConfigFilesTest::load_missingFile_logsItsMessageAndKeepsNoDictionary()
{
    QFETCH(QString, missing);
    QFETCH(QString, message);
    writeAll(Form::Xml, missing);
    const std::unique_ptr<BrevantModel> model = loadModel();
    QCOMPARE(mLog->lines(), (QStringList{QStringLiteral("Using ") + folder(), message}));
    const QList<bool> present = {model->engineeringQueryTextD().has_value(),
                                 model->individualQueryTextD().has_value(),
                                 model->jiraUsersD().has_value(), model->siteURLD().has_value()};
    for (qsizetype i = 0; i < fileNames.size(); ++i)
        QCOMPARE(present[i], fileNames[i] != missing);
}

void ConfigFilesTest::load_brokenFile_givesNoDictionary_data()
{
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<QString>("message");
    const QString notDictionary =
        QStringLiteral(" is not a property list with a dictionary at its root.");
    QTest::newRow("empty file") << QByteArray() << notDictionary;
    QTest::newRow("plain text") << QByteArrayLiteral("queryPage = https://jira.example.com\n")
                                << notDictionary;
    QTest::newRow("XML cut off mid-entry")
        << xmlDictionary("<key>queryPage</key><string>https://jira").left(200) << notDictionary;
    QTest::newRow("array at the root")
        << QByteArrayLiteral(
               "<?xml version=\"1.0\"?><plist version=\"1.0\"><array><string>a</string>"
               "</array></plist>")
        << notDictionary;
    QTest::newRow("text at the root")
        << QByteArrayLiteral(
               "<?xml version=\"1.0\"?><plist version=\"1.0\"><string>a</string></plist>")
        << notDictionary;
    QTest::newRow("binary header followed by garbage")
        << QByteArrayLiteral("bplist00\xff\xff\xff\xff\x01\x02") << notDictionary;
    QTest::newRow("binary cut in half")
        << binaryFromXml(xmlDictionary(siteEntries)).left(60) << notDictionary;
    QTest::newRow("binary array holding itself")
        << binaryPropertyList({binaryArray({0})}) << notDictionary;
    QTest::newRow("binary key holding U+0000")
        << QByteArray::fromHex("62706c6973743030d101026200e900005178080b10000000000000010100000000"
                               "0000000300000000000000000000000000000012")
        << QStringLiteral(" has a key holding the character U+0000 and was not read.");
    const QString tooDeep =
        QStringLiteral(" nests values more than 16 levels deep and was not read.");
    QTest::newRow("XML, 200000 arrays each in the one before")
        << nestedXmlArrays(200000) << tooDeep;
    QTest::newRow("binary, 100000 arrays each in the one before")
        << nestedBinaryArrays(100000) << tooDeep;
    QTest::newRow("XML, one level too deep") << nestedXmlArrays(16) << tooDeep;
    QTest::newRow("binary, one level too deep") << nestedBinaryArrays(17) << tooDeep;
    QTest::newRow("binary, as deep as allowed, read to its array root")
        << nestedBinaryArrays(16) << notDictionary;
    // Nine arrays, each listing the next fourteen times: a few bytes that stand for 14^8 arrays.
    QList<QByteArray> shared;
    for (quint32 level = 0; level < 8; ++level)
        shared.append(binaryArray(QList<quint32>(14, level + 1)));
    shared.append(binaryArray({}));
    QTest::newRow("binary arrays shared fourteen-fold, eight times over")
        << binaryPropertyList(shared)
        << QStringLiteral(" holds more than 2097152 values and was not read.");
    QTest::newRow("well-formed, over the size limit")
        << xmlDictionary("<key>queryPage</key><string>" + QByteArray(17 * 1024 * 1024, 'x') +
                         "</string>")
        << QStringLiteral(" is over the size limit of 16 MB (16777216 bytes) and was not read.");
    QTest::newRow("declaring an encoding nobody knows")
        << QByteArray(
               "<?xml version=\"1.0\" encoding=\"x-no-such-thing\"?>\n<plist><dict/></plist>")
        << QStringLiteral(" declares the encoding \"x-no-such-thing\", which is not known and was "
                          "not read.");
}

void ConfigFilesTest::load_brokenFile_givesNoDictionary()
{
    QFETCH(QByteArray, contents);
    QFETCH(QString, message);
    writeAll(Form::Xml, fileNames[3]);
    const QString path = folder() + QStringLiteral("/SiteURL.plist");
    QVERIFY(writeFile(path, contents));
    const std::unique_ptr<BrevantModel> model = loadModel();
    QVERIFY(!model->siteURLD().has_value());
    QCOMPARE(model->jiraUsersD(), expectedUsers);
    QCOMPARE(mLog->lines(), (QStringList{QStringLiteral("Using ") + folder(), path + message}));
}

void ConfigFilesTest::load_notARegularFile_isNamedAndNotRead_data()
{
    QTest::addColumn<bool>("fifo");
    QTest::newRow("a FIFO, which would block a reader until something writes to it") << true;
    QTest::newRow("a folder") << false;
}

void ConfigFilesTest::load_notARegularFile_isNamedAndNotRead()
{
    QFETCH(bool, fifo);
    writeAll(Form::Xml, fileNames[3]);
    const QString path = folder() + QStringLiteral("/SiteURL.plist");
    QVERIFY(fifo ? ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0 : QDir().mkdir(path));
    const std::unique_ptr<BrevantModel> model = loadModel();
    QVERIFY(!model->siteURLD().has_value());
    QCOMPARE(model->jiraUsersD(), expectedUsers);
    QCOMPARE(mLog->lines(),
             (QStringList{QStringLiteral("Using ") + folder(),
                          path + QStringLiteral(" is not a regular file and was not read.")}));
}

void ConfigFilesTest::load_asEditorsSaveIt_readsEveryCharacter_data()
{
    QTest::addColumn<QByteArray>("contents");
    const QString xml =
        QString::fromUtf8(xmlDictionary("<key>Caf\xC3\xA9 \xE2\x82\xAC</key><string>summary ~ "
                                        "'caf\xC3\xA9 \xE2\x82\xAC'</string>\n"));
    const auto encoded = [&xml](QStringConverter::Encoding encoding, bool byteOrderMark) {
        QStringEncoder encoder(encoding, byteOrderMark ? QStringConverter::Flag::WriteBom
                                                       : QStringConverter::Flag::Default);
        return QByteArray(encoder.encode(xml));
    };
    const auto declared = [&xml](const char *encoding) {
        QString text = xml;
        text.replace(QStringLiteral("encoding=\"UTF-8\""),
                     QStringLiteral("encoding=\"%1\"").arg(QLatin1String(encoding)));
        return QByteArray(QStringEncoder(encoding).encode(text));
    };
    QTest::newRow("UTF-8") << encoded(QStringConverter::Utf8, false);
    QTest::newRow("UTF-8 with a byte-order mark") << encoded(QStringConverter::Utf8, true);
    QTest::newRow("UTF-16 little-endian with its mark") << encoded(QStringConverter::Utf16LE, true);
    QTest::newRow("UTF-16 big-endian with its mark") << encoded(QStringConverter::Utf16BE, true);
    QTest::newRow("windows-1252, declared") << declared("windows-1252");
    QTest::newRow("ISO-8859-15, declared") << declared("ISO-8859-15");
    QTest::newRow("blank line before the declaration")
        << "\n" + encoded(QStringConverter::Utf8, false);
}

void ConfigFilesTest::load_asEditorsSaveIt_readsEveryCharacter()
{
    QFETCH(QByteArray, contents);
    QVERIFY(writeFile(folder() + QStringLiteral("/EngineeringQueryText.plist"), contents));
    const std::unique_ptr<BrevantModel> model = loadModel();
    QCOMPARE(model->engineeringQueryTextD(),
             (StringDictionary{{QStringLiteral("Café €"), QStringLiteral("summary ~ 'café €'")}}));
    QCOMPARE(mLog->lines().first(), QStringLiteral("Using ") + folder());
    QCOMPARE(mLog->lines().size(), 4);
}

void ConfigFilesTest::load_wrongTypedEntries_skippedWithOneLineEach()
{
    writeAll(Form::Xml);
    const QString templates = folder() + QStringLiteral("/EngineeringQueryText.plist");
    QVERIFY(writeFile(templates, xmlDictionary(engineeringEntries +
                                               "<key>Story Points</key><integer>13</integer>\n"
                                               "<key>Nested</key><dict/>\n")));
    const QString users = folder() + QStringLiteral("/JiraUsers.plist");
    QVERIFY(writeFile(users, xmlDictionary(usersEntries +
                                           "<key>Contractors</key><string>none yet</string>\n"
                                           "<key>Mobile</key><dict><key>Kenji Watanabe</key>"
                                           "<true/><key>Dana Lindqvist</key>"
                                           "<string>dlindqvist</string></dict>\n")));
    const std::unique_ptr<BrevantModel> model = loadModel();

    QCOMPARE(model->engineeringQueryTextD(), expectedEngineering);
    JiraUsersDictionary expected = expectedUsers;
    expected.insert(QStringLiteral("Mobile"),
                    {{QStringLiteral("Dana Lindqvist"), QStringLiteral("dlindqvist")}});
    QCOMPARE(model->jiraUsersD(), expected);
    const QStringList lines = mLog->lines();
    QCOMPARE(lines.size(), 5);
    QVERIFY(lines.contains(
        templates + QStringLiteral(": the entry \"Story Points\" is not a text and was skipped.")));
    QVERIFY(lines.contains(
        templates + QStringLiteral(": the entry \"Nested\" is not a text and was skipped.")));
    QVERIFY(lines.contains(
        users + QStringLiteral(
                    ": the entry \"Contractors\" is not a dictionary of users and was skipped.")));
    QVERIFY(lines.contains(
        users +
        QStringLiteral(": the entry \"Mobile/Kenji Watanabe\" is not a text and was skipped.")));
}

void ConfigFilesTest::load_nestedAsDeepAsAllowed_isRead()
{
    const QString templates = folder() + QStringLiteral("/EngineeringQueryText.plist");
    // The dictionary, then fifteen arrays: sixteen levels.
    QVERIFY(writeFile(templates, xmlDictionary(engineeringEntries + "<key>deep</key>" +
                                               QByteArray("<array>").repeated(15) +
                                               QByteArray("</array>").repeated(15))));
    const std::unique_ptr<BrevantModel> model = loadModel();
    QCOMPARE(model->engineeringQueryTextD(), expectedEngineering);
    QVERIFY(mLog->contains(templates +
                           QStringLiteral(": the entry \"deep\" is not a text and was skipped.")));
}

void ConfigFilesTest::load_problemsInSeveralFiles_reportedInFileOrder()
{
    writeAll(Form::Xml, fileNames[2]);
    const QString templates = folder() + QStringLiteral("/EngineeringQueryText.plist");
    QVERIFY(writeFile(templates, xmlDictionary(engineeringEntries + "<key>A</key><true/>\n" +
                                               "<key>B</key><false/>\n")));
    const QString sites = folder() + QStringLiteral("/SiteURL.plist");
    QVERIFY(writeFile(sites, "not a property list"));
    const std::unique_ptr<BrevantModel> model = loadModel();
    QCOMPARE(
        mLog->lines(),
        (QStringList{
            QStringLiteral("Using ") + folder(),
            templates + QStringLiteral(": the entry \"A\" is not a text and was skipped."),
            templates + QStringLiteral(": the entry \"B\" is not a text and was skipped."),
            QStringLiteral("Jira Users dictionary was not found."),
            sites + QStringLiteral(" is not a property list with a dictionary at its root.")}));
}

void ConfigFilesTest::load_shippedExamples_loadCleanlyWithEveryPlaceholder()
{
    const QString shipped =
        qEnvironmentVariable("BREVANT_SOURCE_DIR") + QStringLiteral("/resources/defaults");
    QVERIFY(QDir().mkpath(folder()));
    for (const QString &name : fileNames) {
        const QString file = u'/' + name + QStringLiteral(".plist");
        QVERIFY(QFile::copy(shipped + file, folder() + file));
    }
    const std::unique_ptr<BrevantModel> model = loadModel();
    QCOMPARE(mLog->lines(), QStringList{QStringLiteral("Using ") + folder()});

    for (const auto &family : {model->engineeringQueryTextD(), model->individualQueryTextD()}) {
        QVERIFY(family && family->size() >= 4);
        const QString all = QStringList(family->values()).join(u'\n');
        for (const char *placeholder :
             {"{created}", "{during}", "{startDate}", "{endDate}", "currentUser()"})
            QVERIFY2(all.contains(QLatin1String(placeholder)), placeholder);
        QVERIFY(all.contains(QStringLiteral("'In Progress'")));
    }
    QVERIFY(model->jiraUsersD() && model->jiraUsersD()->size() >= 2);
    const StringDictionary sites = model->siteURLD().value_or(StringDictionary());
    for (const char *key : {"queryPage", "metricsPage", "jiraLogin", "jiraSearch", "downloadCSV"})
        QVERIFY2(
            sites.value(QLatin1String(key)).startsWith(QStringLiteral("https://jira.example.com/")),
            key);
}

void ConfigFilesTest::sitePages_openOnlyNonEmptyAddresses_data()
{
    QTest::addColumn<QByteArray>("entries");
    QTest::addColumn<bool>("metrics");
    QTest::addColumn<QStringList>("opened");
    const QByteArray query =
        "<key>queryPage</key><string>https://jira.example.com/filters</string>";
    QTest::newRow("query page opens")
        << query << false << QStringList{QStringLiteral("https://jira.example.com/filters")};
    QTest::newRow("empty metrics page does nothing")
        << query + "<key>metricsPage</key><string></string>" << true << QStringList();
    QTest::newRow("missing metrics page does nothing") << query << true << QStringList();
    QTest::newRow("metrics page opens")
        << QByteArray("<key>metricsPage</key><string>https://jira.example.com/secure/"
                      "Dashboard.jspa</string>")
        << true << QStringList{QStringLiteral("https://jira.example.com/secure/Dashboard.jspa")};
    QTest::newRow("no site file at all") << QByteArray() << false << QStringList();
}

void ConfigFilesTest::sitePages_openOnlyNonEmptyAddresses()
{
    QFETCH(QByteArray, entries);
    QFETCH(bool, metrics);
    QFETCH(QStringList, opened);
    if (!entries.isEmpty())
        QVERIFY(writeFile(folder() + QStringLiteral("/SiteURL.plist"), xmlDictionary(entries)));
    const std::unique_ptr<BrevantModel> model = loadModel();
    metrics ? model->openMetricsPage() : model->openQueryPage();
    QStringList actual;
    for (const QUrl &url : std::as_const(mWorkspace.openedURLs))
        actual.append(url.toString());
    QCOMPARE(actual, opened);
    QVERIFY(mWorkspace.openedFiles.isEmpty());
}

void ConfigFilesTest::showTemplateFile_opensFolderAndSelectsTabFile_data()
{
    QTest::addColumn<OptionalString>("tab");
    QTest::addColumn<QStringList>("selected");
    QTest::newRow("Engineering tab") << OptionalString(QStringLiteral("Engineering"))
                                     << QStringList{QStringLiteral("EngineeringQueryText.plist")};
    QTest::newRow("Individual tab") << OptionalString(QStringLiteral("Individual"))
                                    << QStringList{QStringLiteral("IndividualQueryText.plist")};
    QTest::newRow("unknown tab selects nothing")
        << OptionalString(QStringLiteral("engineering")) << QStringList();
    QTest::newRow("no tab selects nothing") << OptionalString() << QStringList();
}

void ConfigFilesTest::showTemplateFile_opensFolderAndSelectsTabFile()
{
    QFETCH(OptionalString, tab);
    QFETCH(QStringList, selected);
    const std::unique_ptr<BrevantModel> model = loadModel();
    model->setQueryTabIdentifier(tab);
    model->showTemplateFile();
    QCOMPARE(mWorkspace.openedFiles, QStringList{folder()});
    QStringList expected;
    for (const QString &name : selected)
        expected.append(folder() + u'/' + name);
    QCOMPARE(mWorkspace.selectedFiles, expected);
    QCOMPARE(mWorkspace.selectionRoots, QStringList(selected.size(), QString()));
}

QTEST_GUILESS_MAIN(ConfigFilesTest)
#include "tst_configfiles.moc"
