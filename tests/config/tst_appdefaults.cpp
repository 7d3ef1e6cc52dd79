// The files the real application package ships are the ones installed.
#include "ConfigFixtures.h"
#include "DefaultFilesInstaller.h"
#include "LogCapture.h"
#include "TemporaryHome.h"

#include <QTest>

using namespace fixtures;

class AppDefaultsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void copyDefaults_shippedPackage_installsItsFourFiles();
    void copyBundleResource_intoGivenFolder_copiesOneFile();

private:
    TemporaryHome mHome;
    QString mPackage = qEnvironmentVariable("BREVANT_PACKAGE_DIR");
};

void AppDefaultsTest::copyDefaults_shippedPackage_installsItsFourFiles()
{
    LogCapture log;
    const QString folder = supportFolderBelow(mHome.path());
    QCOMPARE(DefaultFilesInstaller(mPackage).copyDefaultsFromBundleDirectory(), folder);
    const QStringList names = {QStringLiteral("EngineeringQueryText.plist"),
                               QStringLiteral("IndividualQueryText.plist"),
                               QStringLiteral("JiraUsers.plist"), QStringLiteral("SiteURL.plist")};
    for (const QString &name : names) {
        const QByteArray shipped = readFile(mPackage + u'/' + name);
        QVERIFY2(!shipped.isEmpty(), qPrintable(name));
        QCOMPARE(readFile(folder + u'/' + name), shipped);
    }
    QCOMPARE(log.lines(), QStringList{QStringLiteral("Using ") + folder});
}

void AppDefaultsTest::copyBundleResource_intoGivenFolder_copiesOneFile()
{
    const QString folder = mHome.path() + QStringLiteral("/elsewhere");
    QVERIFY(QDir().mkpath(folder));
    DefaultFilesInstaller::copyBundleResource(mPackage + QStringLiteral("/SiteURL.plist"), folder);
    QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList{QStringLiteral("SiteURL.plist")});
}

QTEST_GUILESS_MAIN(AppDefaultsTest)
#include "tst_appdefaults.moc"
