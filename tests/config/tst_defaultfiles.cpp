// Installing and refreshing the default configuration files from the application package.
#include "ConfigFixtures.h"
#include "DefaultFilesInstaller.h"
#include "EnvironmentOverride.h"
#include "LogCapture.h"
#include "TemporaryHome.h"

#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <sys/stat.h>

using namespace fixtures;

namespace {

const QStringList fileNames = {QStringLiteral("EngineeringQueryText.plist"),
                               QStringLiteral("IndividualQueryText.plist"),
                               QStringLiteral("JiraUsers.plist"), QStringLiteral("SiteURL.plist")};

QByteArray versionContents(const QString &name, const QString &version)
{
    return xmlDictionary("<key>" + name.toUtf8() + "</key><string>" + version.toUtf8() +
                         "</string>\n");
}

// The inode and modification time together tell whether a file was rewritten or replaced.
QPair<qint64, qint64> identity(const QString &path)
{
    struct stat status
    {
    };
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return {-1, -1};
    return {static_cast<qint64>(status.st_ino),
            static_cast<qint64>(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec};
}

enum class Failure
{
    BackupIsAFolder,
    StagingFolderIsAFile,
    InstalledIsAFolder
};

// What an earlier launch, ended between two steps of a refresh, can leave behind.
enum class Interruption
{
    // Stopped before the backup's scratch name was renamed to the backup.
    ScratchBackupLeft,
    // Stopped after the backup was made and before the staging copy replaced the file.
    BackupMadeFileNotReplaced,
    // Stopped after the staging copy was made.
    StagingCopyLeft
};

} // namespace

Q_DECLARE_METATYPE(Failure)
Q_DECLARE_METATYPE(Interruption)

class DefaultFilesTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void firstLaunch_installsEveryFile_withoutStagingOrBackups();
    void secondLaunch_samePackage_changesNothing();
    void newerPackageCopy_replacesAndKeepsTheOldFileAsBackup();
    void userEditedFile_newerThanPackage_isLeftAlone();
    void packageDatedAheadOfTheClock_editSurvivesLaunchAfterLaunch();
    void missingPackageFile_isSkippedSilently();
    void staleStagingCopy_fromAnEarlierRun_doesNotBlockTheRefresh();
    void interruptedLaunch_nextLaunchClearsLeftoversAndLosesNothing_data();
    void interruptedLaunch_nextLaunchClearsLeftoversAndLosesNothing();
    void failedRefresh_keepsInstalledFileWholeAndLogs_data();
    void failedRefresh_keepsInstalledFileWholeAndLogs();
    void supportFolderThroughSymbolicLink_installsAtTarget();
    void homeThatDoesNotExist_isLoggedAndNotMade();

private:
    QString folder() const { return supportFolderBelow(mHome->path()); }
    QString installed(const QString &name) const { return folder() + u'/' + name; }
    QString packaged(const QString &name) const { return mPackage->path() + u'/' + name; }
    QString staging() const { return folder() + QStringLiteral("/temp"); }
    std::optional<QString> launch() const;
    void writePackage(const QString &version, const QDateTime &modified = {},
                      const QStringList &names = fileNames);
    void installFirstReleaseAnHourAgo();
    void shipSecondRelease();

    const QDateTime mNow = QDateTime::currentDateTimeUtc();
    std::unique_ptr<TemporaryHome> mHome;
    std::unique_ptr<QTemporaryDir> mPackage;
    std::unique_ptr<LogCapture> mLog;
};

void DefaultFilesTest::init()
{
    mHome = std::make_unique<TemporaryHome>();
    mPackage = std::make_unique<QTemporaryDir>();
    QVERIFY(mHome->isValid() && mPackage->isValid());
    mLog = std::make_unique<LogCapture>();
}

void DefaultFilesTest::cleanup()
{
    mLog.reset();
    mPackage.reset();
    mHome.reset();
}

std::optional<QString> DefaultFilesTest::launch() const
{
    return DefaultFilesInstaller(mPackage->path()).copyDefaultsFromBundleDirectory();
}

void DefaultFilesTest::writePackage(const QString &version, const QDateTime &modified,
                                    const QStringList &names)
{
    for (const QString &name : names) {
        QVERIFY(writeFile(packaged(name), versionContents(name, version)));
        if (modified.isValid())
            QVERIFY(setModified(packaged(name), modified));
    }
}

// Release 1 of the package, built two hours ago and installed an hour ago.
void DefaultFilesTest::installFirstReleaseAnHourAgo()
{
    writePackage(QStringLiteral("1"), mNow.addSecs(-7200));
    launch();
    for (const QString &name : fileNames)
        QVERIFY(setModified(installed(name), mNow.addSecs(-3600)));
}

// Release 2, built after release 1 was installed.
void DefaultFilesTest::shipSecondRelease()
{
    writePackage(QStringLiteral("2"), mNow.addSecs(-1800));
}

void DefaultFilesTest::firstLaunch_installsEveryFile_withoutStagingOrBackups()
{
    writePackage(QStringLiteral("1"));
    QCOMPARE(launch(), folder());
    for (const QString &name : fileNames) {
        QCOMPARE(readFile(installed(name)), versionContents(name, QStringLiteral("1")));
        QVERIFY(QFileInfo(installed(name)).lastModified() >=
                QFileInfo(packaged(name)).lastModified());
    }
    QCOMPARE(QDir(folder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), fileNames);
    QCOMPARE(mLog->lines(), QStringList{QStringLiteral("Using ") + folder()});
}

void DefaultFilesTest::secondLaunch_samePackage_changesNothing()
{
    writePackage(QStringLiteral("1"));
    launch();
    QList<QPair<qint64, qint64>> before;
    for (const QString &name : fileNames)
        before.append(identity(installed(name)));

    launch();
    for (qsizetype i = 0; i < fileNames.size(); ++i)
        QCOMPARE(identity(installed(fileNames[i])), before[i]);
    QCOMPARE(QDir(folder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), fileNames);
}

void DefaultFilesTest::newerPackageCopy_replacesAndKeepsTheOldFileAsBackup()
{
    installFirstReleaseAnHourAgo();
    const QString site = installed(QStringLiteral("SiteURL.plist"));
    const QByteArray edited = xmlDictionary("<key>queryPage</key><string>mine</string>");
    QVERIFY(writeFile(site, edited));
    QVERIFY(setModified(site, mNow.addSecs(-3600)));
    QVERIFY(QFile::setPermissions(site, QFile::ReadOwner | QFile::WriteOwner));
    const QFile::Permissions packagePermissions = QFile::permissions(packaged(fileNames[0]));

    shipSecondRelease();
    launch();
    QCOMPARE(readFile(site), versionContents(QStringLiteral("SiteURL.plist"), QStringLiteral("2")));
    QCOMPARE(readFile(site + QStringLiteral("_orig")), edited);
    QCOMPARE(QFile::permissions(site), packagePermissions);
    QVERIFY(QFileInfo(staging()).isDir());
    QVERIFY(QDir(staging()).isEmpty());

    // The next release's copy replaces the file again and the backup now holds release 2.
    writePackage(QStringLiteral("3"), mNow.addSecs(3600));
    launch();
    QCOMPARE(readFile(site), versionContents(QStringLiteral("SiteURL.plist"), QStringLiteral("3")));
    QCOMPARE(readFile(site + QStringLiteral("_orig")),
             versionContents(QStringLiteral("SiteURL.plist"), QStringLiteral("2")));
    QCOMPARE(mLog->lines(), QStringList(3, QStringLiteral("Using ") + folder()));
}

void DefaultFilesTest::userEditedFile_newerThanPackage_isLeftAlone()
{
    installFirstReleaseAnHourAgo();
    const QString users = installed(QStringLiteral("JiraUsers.plist"));
    const QByteArray edited = xmlDictionary("<key>My Team</key><dict/>");
    QVERIFY(writeFile(users, edited));
    QVERIFY(setModified(users, mNow.addSecs(-600)));

    shipSecondRelease();
    launch();
    QCOMPARE(readFile(users), edited);
    QVERIFY(!QFileInfo::exists(users + QStringLiteral("_orig")));
    QCOMPARE(readFile(installed(fileNames[0])), versionContents(fileNames[0], QStringLiteral("2")));
}

void DefaultFilesTest::packageDatedAheadOfTheClock_editSurvivesLaunchAfterLaunch()
{
    // A package built on a machine whose clock runs a day ahead, or a clock set back.
    writePackage(QStringLiteral("1"), mNow.addDays(1));
    launch();
    const QString site = installed(QStringLiteral("SiteURL.plist"));
    const QByteArray edited = xmlDictionary("<key>queryPage</key><string>mine</string>");
    QVERIFY(writeFile(site, edited));

    // The edit is older than the package, so one refresh keeps it as the backup; after that the
    // refreshed file is as new as the package and is left alone.
    launch();
    QCOMPARE(readFile(site + QStringLiteral("_orig")), edited);
    const QPair<qint64, qint64> refreshed = identity(site);
    launch();
    QCOMPARE(identity(site), refreshed);
    QCOMPARE(readFile(site + QStringLiteral("_orig")), edited);
}

void DefaultFilesTest::missingPackageFile_isSkippedSilently()
{
    writePackage(QStringLiteral("1"), {}, {fileNames[1], fileNames[3]});
    QCOMPARE(launch(), folder());
    QCOMPARE(QDir(folder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             (QStringList{fileNames[1], fileNames[3]}));
    QCOMPARE(mLog->lines(), QStringList{QStringLiteral("Using ") + folder()});
}

void DefaultFilesTest::staleStagingCopy_fromAnEarlierRun_doesNotBlockTheRefresh()
{
    installFirstReleaseAnHourAgo();
    QVERIFY(writeFile(staging() + QStringLiteral("/SiteURL.plist"), "left by a crash"));

    shipSecondRelease();
    launch();
    for (const QString &name : fileNames)
        QCOMPARE(readFile(installed(name)), versionContents(name, QStringLiteral("2")));
    QCOMPARE(mLog->lines(), QStringList(2, QStringLiteral("Using ") + folder()));
}

void DefaultFilesTest::interruptedLaunch_nextLaunchClearsLeftoversAndLosesNothing_data()
{
    QTest::addColumn<Interruption>("interruption");
    QTest::addColumn<bool>("newRelease");
    QTest::newRow("scratch name of the backup, same release")
        << Interruption::ScratchBackupLeft << false;
    QTest::newRow("backup made, file not yet replaced, new release")
        << Interruption::BackupMadeFileNotReplaced << true;
    QTest::newRow("staging copy, same release") << Interruption::StagingCopyLeft << false;
}

void DefaultFilesTest::interruptedLaunch_nextLaunchClearsLeftoversAndLosesNothing()
{
    QFETCH(Interruption, interruption);
    QFETCH(bool, newRelease);
    installFirstReleaseAnHourAgo();
    const QString site = installed(QStringLiteral("SiteURL.plist"));
    const QByteArray edited = xmlDictionary("<key>queryPage</key><string>mine</string>");
    QVERIFY(writeFile(site, edited));
    QVERIFY(setModified(site, mNow.addSecs(-3600)));
    const QString backup = site + QStringLiteral("_orig");
    if (interruption == Interruption::ScratchBackupLeft)
        QVERIFY(hardLink(site, backup + QStringLiteral(".partial")));
    if (interruption == Interruption::BackupMadeFileNotReplaced)
        QVERIFY(hardLink(site, backup));
    if (interruption == Interruption::StagingCopyLeft)
        QVERIFY(writeFile(staging() + QStringLiteral("/SiteURL.plist"), "staged"));
    if (newRelease)
        shipSecondRelease();

    launch();
    QCOMPARE(readFile(site),
             newRelease ? versionContents(QStringLiteral("SiteURL.plist"), QStringLiteral("2"))
                        : edited);
    if (newRelease)
        QCOMPARE(readFile(backup), edited);
    QCOMPARE(QDir(folder()).entryList({QStringLiteral("*.partial")}, QDir::AllEntries),
             QStringList());
    QVERIFY(QDir(staging()).isEmpty());
}

void DefaultFilesTest::failedRefresh_keepsInstalledFileWholeAndLogs_data()
{
    QTest::addColumn<Failure>("failure");
    QTest::newRow("backup name taken by a folder") << Failure::BackupIsAFolder;
    QTest::newRow("staging folder name taken by a file") << Failure::StagingFolderIsAFile;
    QTest::newRow("installed name taken by an old folder") << Failure::InstalledIsAFolder;
}

void DefaultFilesTest::failedRefresh_keepsInstalledFileWholeAndLogs()
{
    QFETCH(Failure, failure);
    installFirstReleaseAnHourAgo();
    const QString site = installed(QStringLiteral("SiteURL.plist"));
    const QString backup = site + QStringLiteral("_orig");
    if (failure == Failure::BackupIsAFolder)
        QVERIFY(writeFile(backup + QStringLiteral("/keep"), "in the way"));
    if (failure == Failure::StagingFolderIsAFile)
        QVERIFY(writeFile(staging(), "in the way"));
    if (failure == Failure::InstalledIsAFolder) {
        QVERIFY(QFile::remove(site));
        QVERIFY(writeFile(site + QStringLiteral("/keep"), "in the way"));
        QVERIFY(setModified(site, mNow.addSecs(-3600)));
    }
    mLog->clear();

    shipSecondRelease();
    launch();
    const QByteArray old = versionContents(QStringLiteral("SiteURL.plist"), QStringLiteral("1"));
    QStringList expected{QStringLiteral("Using ") + folder()};
    if (failure == Failure::StagingFolderIsAFile) {
        for (const QString &name : fileNames) {
            expected.append(QStringLiteral("Could not copy ") + packaged(name) +
                            QStringLiteral(" to ") + staging() + u'/' + name);
            QCOMPARE(readFile(installed(name)), versionContents(name, QStringLiteral("1")));
            QVERIFY(!QFileInfo::exists(installed(name) + QStringLiteral("_orig")));
        }
        QCOMPARE(mLog->lines(), expected);
        return;
    }
    const QString reason = failure == Failure::BackupIsAFolder ? QStringLiteral("Is a directory")
                                                               : QStringLiteral("Invalid argument");
    expected.append(QStringLiteral("Could not keep a backup of ") + site + QStringLiteral(" as ") +
                    backup + QStringLiteral(": ") + reason);
    QCOMPARE(mLog->lines(), expected);
    if (failure == Failure::BackupIsAFolder)
        QCOMPARE(readFile(site), old);
    else
        QCOMPARE(readFile(site + QStringLiteral("/keep")), QByteArray("in the way"));
    QCOMPARE(readFile(installed(fileNames[0])), versionContents(fileNames[0], QStringLiteral("2")));
    // The staging copy of the file that could not be replaced goes too.
    QVERIFY(QDir(staging()).isEmpty());
}

void DefaultFilesTest::supportFolderThroughSymbolicLink_installsAtTarget()
{
    const QString target = mHome->path() + QStringLiteral("/Sync/brevant");
    QVERIFY(QDir().mkpath(target));
    QVERIFY(QDir().mkpath(QFileInfo(folder()).absolutePath()));
    QVERIFY(QFile::link(target, folder()));
    writePackage(QStringLiteral("1"));
    QCOMPARE(launch(), target);
    QCOMPARE(QDir(target).entryList(QDir::Files), fileNames);
    QVERIFY(QFileInfo(folder()).isSymLink());
}

void DefaultFilesTest::homeThatDoesNotExist_isLoggedAndNotMade()
{
    const QString missing = mHome->path() + QStringLiteral("/gone");
    const EnvironmentOverride home("HOME", QFile::encodeName(missing));
    writePackage(QStringLiteral("1"));
    QCOMPARE(launch(), supportFolderBelow(missing));
    QVERIFY(!QFileInfo::exists(missing));
    QCOMPARE(mLog->lines(),
             QStringList(2, QStringLiteral("The home folder ") + missing +
                                QStringLiteral(" does not exist; it is not created.")));
}

QTEST_GUILESS_MAIN(DefaultFilesTest)
#include "tst_defaultfiles.moc"
