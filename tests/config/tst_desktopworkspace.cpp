// The desktop workspace against a private session bus: web addresses and folders go to the
// desktop's URL handlers, a file is shown by the file manager, or its folder opened when no file
// manager answers.
#include "DesktopWorkspace.h"
#include "LogCapture.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDesktopServices>
#include <QProcess>
#include <QTest>

class UrlRecorder : public QObject
{
    Q_OBJECT

public Q_SLOTS:
    void open(const QUrl &url) { opened.append(url); }

public:
    QList<QUrl> opened;
};

class FakeFileManager : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")

public Q_SLOTS:
    void ShowItems(const QStringList &uris, const QString &startupId)
    {
        shown.append(uris);
        startupIds.append(startupId);
    }

public:
    QList<QStringList> shown;
    QStringList startupIds;
};

class DesktopWorkspaceTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void openURL_webAddress_goesToTheBrowserHandler();
    void openFile_folder_opensItsFileAddress();
    void selectFile_fileManagerOnTheBus_showsTheFile();
    void selectFile_noFileManager_opensTheFolderAndLogs();

private:
    QProcess mBus;
    UrlRecorder mRecorder;
    DesktopWorkspace mWorkspace;
};

void DesktopWorkspaceTest::initTestCase()
{
    // A bus of the test's own, so that no real file manager on the machine is asked.
    mBus.start(QStringLiteral("dbus-daemon"),
               {QStringLiteral("--session"), QStringLiteral("--nofork"),
                QStringLiteral("--print-address=1")});
    QVERIFY(mBus.waitForStarted(10000));
    QTRY_VERIFY_WITH_TIMEOUT(mBus.canReadLine(), 10000);
    qputenv("DBUS_SESSION_BUS_ADDRESS", mBus.readLine().trimmed());
    QVERIFY(QDBusConnection::sessionBus().isConnected());
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &mRecorder, "open");
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &mRecorder, "open");
}

void DesktopWorkspaceTest::cleanupTestCase()
{
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    mBus.kill();
    mBus.waitForFinished(10000);
}

void DesktopWorkspaceTest::init()
{
    mRecorder.opened.clear();
}

void DesktopWorkspaceTest::openURL_webAddress_goesToTheBrowserHandler()
{
    const QUrl address(QStringLiteral("https://jira.example.com/secure/Dashboard.jspa"));
    QVERIFY(mWorkspace.openURL(address));
    QCOMPARE(mRecorder.opened, QList<QUrl>{address});
}

void DesktopWorkspaceTest::openFile_folder_opensItsFileAddress()
{
    const QString folder =
        QStringLiteral("/home/user/Library/Application Support/quillfen_brevant");
    QVERIFY(mWorkspace.openFile(folder));
    QCOMPARE(mRecorder.opened, QList<QUrl>{QUrl::fromLocalFile(folder)});
}

void DesktopWorkspaceTest::selectFile_fileManagerOnTheBus_showsTheFile()
{
    FakeFileManager fileManager;
    QDBusConnection bus = QDBusConnection::sessionBus();
    QVERIFY(bus.registerObject(QStringLiteral("/org/freedesktop/FileManager1"), &fileManager,
                               QDBusConnection::ExportAllSlots));
    QVERIFY(bus.registerService(QStringLiteral("org.freedesktop.FileManager1")));

    const QString file = QStringLiteral("/home/user/Support Folder/EngineeringQueryText.plist");
    QVERIFY(mWorkspace.selectFile(file, QString()));
    QTRY_COMPARE_WITH_TIMEOUT(fileManager.shown.size(), 1, 10000);
    QCOMPARE(fileManager.shown.first(),
             QStringList{
                 QStringLiteral("file:///home/user/Support%20Folder/EngineeringQueryText.plist")});
    QCOMPARE(fileManager.startupIds, QStringList{QString()});
    QTest::qWait(0);
    QVERIFY(mRecorder.opened.isEmpty());

    bus.unregisterService(QStringLiteral("org.freedesktop.FileManager1"));
    bus.unregisterObject(QStringLiteral("/org/freedesktop/FileManager1"));
}

void DesktopWorkspaceTest::selectFile_noFileManager_opensTheFolderAndLogs()
{
    LogCapture log;
    const QString file = QStringLiteral("/home/user/Support Folder/IndividualQueryText.plist");
    QVERIFY(mWorkspace.selectFile(file, QString()));
    QTRY_COMPARE_WITH_TIMEOUT(
        mRecorder.opened,
        QList<QUrl>{QUrl::fromLocalFile(QStringLiteral("/home/user/Support Folder"))}, 10000);
    QCOMPARE(log.lines().size(), 1);
    QVERIFY(
        log.lines().first().startsWith(QStringLiteral("The file manager could not show ") + file));
}

QTEST_MAIN(DesktopWorkspaceTest)
#include "tst_desktopworkspace.moc"
