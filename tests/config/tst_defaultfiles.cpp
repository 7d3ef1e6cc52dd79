// Installing and refreshing the default configuration files from the application package.
#include "ConfigFixtures.h"
#include "DefaultFilesInstaller.h"
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
    StagingFolderIsAFile
};

} // namespace

Q_DECLARE_METATYPE(Failure)

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
    void missingPackageFile_isSkippedSilently();
    void staleStagingCopy_fromAnEarlierRun_doesNotBlockTheRefresh();
    void failedRefresh_keepsInstalledFileWholeAndLogs_data();
    void failedRefresh_keepsInstalledFileWholeAndLogs();
    void supportFolderThroughSymbolicLink_installsAtTarget();

private:
    QString folder() const { return supportFolderBelow(mHome->path()); }
    QString installed(const QString &name) const { return folder() + u'/' + name; }
    QString packaged(const QString &name) const { return mPackage->path() + u'/' + name; }
    void writePackage(const QString &version, const QDateTime &modified = {},
                      const QStringList &names = fileNames);

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

void DefaultFilesTest::writePackage(const QString &version, const QDateTime &modified,
                                    const QStringList &names)
{
    for (const QString &name : names) {
        QVERIFY(writeFile(packaged(name), versionContents(name, version)));
        if (modified.isValid())
            QVERIFY(setModified(packaged(name), modified));
    }
}

void DefaultFilesTest::firstLaunch_installsEveryFile_withoutStagingOrBackups()
{
    writePackage(QStringLiteral("1"));
    QCOMPARE(copyDefaultsFromPackage(mPackage->path()), folder());
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
    copyDefaultsFromPackage(mPackage->path());
    QList<QPair<qint64, qint64>> before;
    for (const QString &name : fileNames)
        before.append(identity(installed(name)));

    copyDefaultsFromPackage(mPackage->path());
    for (qsizetype i = 0; i < fileNames.size(); ++i)
        QCOMPARE(identity(installed(fileNames[i])), before[i]);
    QCOMPARE(QDir(folder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), fileNames);
}

void DefaultFilesTest::newerPackageCopy_replacesAndKeepsTheOldFileAsBackup()
{
    const QDateTime now = QDateTime::currentDateTimeUtc();
    writePackage(QStringLiteral("1"), now.addSecs(-7200));
    copyDefaultsFromPackage(mPackage->path());
    const QString site = installed(QStringLiteral("SiteURL.plist"));
    const QByteArray edited = xmlDictionary("<key>queryPage</key><string>mine</string>");
    QVERIFY(writeFile(site, edited));
    QVERIFY(setModified(site, now.addSecs(-3600)));
    QVERIFY(QFile::setPermissions(site, QFile::ReadOwner | QFile::WriteOwner));
    const QFile::Permissions packagePermissions = QFile::permissions(packaged(fileNames[0]));

    writePackage(QStringLiteral("2"), now.addSecs(-1800));
    copyDefaultsFromPackage(mPackage->path());
    QCOMPARE(readFile(site), versionContents(QStringLiteral("SiteURL.plist"), QStringLiteral("2")));
    QCOMPARE(readFile(site + QStringLiteral("_orig")), edited);
    QCOMPARE(QFile::permissions(site), packagePermissions);
    QVERIFY(QFileInfo(folder() + QStringLiteral("/temp")).isDir());
    QVERIFY(QDir(folder() + QStringLiteral("/temp")).isEmpty());

    // The next release's copy replaces the file again and the backup now holds release 2.
    writePackage(QStringLiteral("3"), now.addSecs(3600));
    copyDefaultsFromPackage(mPackage->path());
    QCOMPARE(readFile(site), versionContents(QStringLiteral("SiteURL.plist"), QStringLiteral("3")));
    QCOMPARE(readFile(site + QStringLiteral("_orig")),
             versionContents(QStringLiteral("SiteURL.plist"), QStringLiteral("2")));
    QCOMPARE(mLog->lines(), QStringList(3, QStringLiteral("Using ") + folder()));
}

void DefaultFilesTest::userEditedFile_newerThanPackage_isLeftAlone()
{
    const QDateTime now = QDateTime::currentDateTimeUtc();
    writePackage(QStringLiteral("1"), now.addSecs(-7200));
    copyDefaultsFromPackage(mPackage->path());
    const QString users = installed(QStringLiteral("JiraUsers.plist"));
    const QByteArray edited = xmlDictionary("<key>My Team</key><dict/>");
    QVERIFY(writeFile(users, edited));
    QVERIFY(setModified(users, now.addSecs(-600)));

    writePackage(QStringLiteral("2"), now.addSecs(-1200));
    copyDefaultsFromPackage(mPackage->path());
    QCOMPARE(readFile(users), edited);
    QVERIFY(!QFileInfo::exists(users + QStringLiteral("_orig")));
    QCOMPARE(readFile(installed(fileNames[0])), versionContents(fileNames[0], QStringLiteral("1")));
}

void DefaultFilesTest::missingPackageFile_isSkippedSilently()
{
    writePackage(QStringLiteral("1"), {}, {fileNames[1], fileNames[3]});
    QCOMPARE(copyDefaultsFromPackage(mPackage->path()), folder());
    QCOMPARE(QDir(folder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             (QStringList{fileNames[1], fileNames[3]}));
    QCOMPARE(mLog->lines(), QStringList{QStringLiteral("Using ") + folder()});
}

void DefaultFilesTest::staleStagingCopy_fromAnEarlierRun_doesNotBlockTheRefresh()
{
    const QDateTime now = QDateTime::currentDateTimeUtc();
    writePackage(QStringLiteral("1"), now.addSecs(-7200));
    copyDefaultsFromPackage(mPackage->path());
    QVERIFY(writeFile(folder() + QStringLiteral("/temp/SiteURL.plist"), "left by a crash"));
    for (const QString &name : fileNames)
        QVERIFY(setModified(installed(name), now.addSecs(-3600)));

    writePackage(QStringLiteral("2"), now.addSecs(-1800));
    copyDefaultsFromPackage(mPackage->path());
    for (const QString &name : fileNames)
        QCOMPARE(readFile(installed(name)), versionContents(name, QStringLiteral("2")));
    QCOMPARE(mLog->lines(), QStringList(2, QStringLiteral("Using ") + folder()));
}

void DefaultFilesTest::failedRefresh_keepsInstalledFileWholeAndLogs_data()
{
    QTest::addColumn<Failure>("failure");
    QTest::newRow("backup name taken by a folder") << Failure::BackupIsAFolder;
    QTest::newRow("staging folder name taken by a file") << Failure::StagingFolderIsAFile;
}

void DefaultFilesTest::failedRefresh_keepsInstalledFileWholeAndLogs()
{
    QFETCH(Failure, failure);
    const QDateTime now = QDateTime::currentDateTimeUtc();
    writePackage(QStringLiteral("1"), now.addSecs(-7200));
    copyDefaultsFromPackage(mPackage->path());
    for (const QString &name : fileNames)
        QVERIFY(setModified(installed(name), now.addSecs(-3600)));
    const QString site = installed(QStringLiteral("SiteURL.plist"));
    const QString backup = site + QStringLiteral("_orig");
    const QString staging = folder() + QStringLiteral("/temp");
    if (failure == Failure::BackupIsAFolder)
        QVERIFY(writeFile(backup + QStringLiteral("/keep"), "in the way"));
    else
        QVERIFY(writeFile(staging, "in the way"));
    mLog->clear();

    writePackage(QStringLiteral("2"), now.addSecs(-1800));
    copyDefaultsFromPackage(mPackage->path());
    const QByteArray old = versionContents(QStringLiteral("SiteURL.plist"), QStringLiteral("1"));
    QStringList expected{QStringLiteral("Using ") + folder()};
    if (failure == Failure::BackupIsAFolder) {
        expected.append(QStringLiteral("Could not keep a backup of ") + site +
                        QStringLiteral(" as ") + backup + QStringLiteral(": Is a directory"));
        QCOMPARE(readFile(site), old);
        QCOMPARE(readFile(installed(fileNames[0])),
                 versionContents(fileNames[0], QStringLiteral("2")));
    } else {
        for (const QString &name : fileNames) {
            expected.append(QStringLiteral("Could not copy ") + packaged(name) +
                            QStringLiteral(" to ") + staging + u'/' + name);
            QCOMPARE(readFile(installed(name)), versionContents(name, QStringLiteral("1")));
            QVERIFY(!QFileInfo::exists(installed(name) + QStringLiteral("_orig")));
        }
    }
    QCOMPARE(mLog->lines(), expected);
}

void DefaultFilesTest::supportFolderThroughSymbolicLink_installsAtTarget()
{
    const QString target = mHome->path() + QStringLiteral("/Sync/brevant");
    QVERIFY(QDir().mkpath(target));
    QVERIFY(QDir().mkpath(QFileInfo(folder()).absolutePath()));
    QVERIFY(QFile::link(target, folder()));
    writePackage(QStringLiteral("1"));
    QCOMPARE(copyDefaultsFromPackage(mPackage->path()), target);
    QCOMPARE(QDir(target).entryList(QDir::Files), fileNames);
    QVERIFY(QFileInfo(folder()).isSymLink());
}

QTEST_GUILESS_MAIN(DefaultFilesTest)
#include "tst_defaultfiles.moc"
