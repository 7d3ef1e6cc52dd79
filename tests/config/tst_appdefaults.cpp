// The application delegate installs the files the real application package ships.
#include "AppDelegate.h"
#include "ConfigFixtures.h"
#include "LogCapture.h"
#include "TemporaryHome.h"

#include <QApplication>
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
    AppDelegate delegate(mPackage);
    const QString folder = supportFolderBelow(mHome.path());
    QCOMPARE(delegate.copyDefaultsFromBundleDirectory(), folder);
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
    AppDelegate delegate(mPackage);
    const QString folder = mHome.path() + QStringLiteral("/elsewhere");
    QVERIFY(QDir().mkpath(folder));
    delegate.copyBundleResource(mPackage + QStringLiteral("/SiteURL.plist"), folder);
    QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList{QStringLiteral("SiteURL.plist")});
}

QTEST_MAIN(AppDefaultsTest)
#include "tst_appdefaults.moc"
