// The desktop workspace against a private session bus: web addresses and folders go to the
// desktop's URL handlers, a file is shown by the file manager, or its folder opened when no file
// manager answers.
#include "DesktopWorkspace.h"
#include "LogCapture.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
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
    void openWithDefaultApplication_asksTheDesktopFirst_data();
    void openWithDefaultApplication_asksTheDesktopFirst();

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

void DesktopWorkspaceTest::openWithDefaultApplication_asksTheDesktopFirst_data()
{
    QTest::addColumn<bool>("csvApplication");
    QTest::newRow("an application for CSV files") << true;
    QTest::newRow("no application for CSV files") << false;
}

void DesktopWorkspaceTest::openWithDefaultApplication_asksTheDesktopFirst()
{
    QFETCH(bool, csvApplication);
    // A desktop of the test's own: only what it registers here is known.
    QTemporaryDir desktop;
    QVERIFY(desktop.isValid());
    qputenv("XDG_DATA_HOME", QFile::encodeName(desktop.filePath(QStringLiteral("data"))));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(desktop.filePath(QStringLiteral("config"))));
    qputenv("XDG_DATA_DIRS", QFile::encodeName(desktop.filePath(QStringLiteral("system"))));
    qunsetenv("XDG_CURRENT_DESKTOP");
    // The system's file types, so that a .csv file is known as one.
    QVERIFY(QDir().mkpath(desktop.filePath(QStringLiteral("system"))));
    QVERIFY(QFile::link(QStringLiteral("/usr/share/mime"),
                        desktop.filePath(QStringLiteral("system/mime"))));
    if (csvApplication) {
        QVERIFY(QDir().mkpath(desktop.filePath(QStringLiteral("data/applications"))));
        QVERIFY(QDir().mkpath(desktop.filePath(QStringLiteral("config"))));
        QFile entry(desktop.filePath(QStringLiteral("data/applications/sheet.desktop")));
        QVERIFY(entry.open(QIODevice::WriteOnly));
        entry.write("[Desktop Entry]\nType=Application\nName=Sheet\nExec=true %f\n"
                    "MimeType=text/csv;\n");
        entry.close();
        QFile defaults(desktop.filePath(QStringLiteral("config/mimeapps.list")));
        QVERIFY(defaults.open(QIODevice::WriteOnly));
        defaults.write("[Default Applications]\ntext/csv=sheet.desktop\n");
    }
    const QString path = desktop.filePath(QStringLiteral("JIRA.csv"));
    QObject context;
    bool told = false;
    bool answered = false;
    mWorkspace.openFileWithDefaultApplication(path, &context, [&told] { told = true; });
    // The answer comes either way: the file opened, or the word that nothing opens it.
    QTRY_VERIFY_WITH_TIMEOUT((answered = told || !mRecorder.opened.isEmpty()), 20000);
    QVERIFY(answered);
    QCOMPARE(told, !csvApplication);
    QCOMPARE(mRecorder.opened,
             csvApplication ? QList<QUrl>{QUrl::fromLocalFile(path)} : QList<QUrl>{});
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
