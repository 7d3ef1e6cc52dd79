// The help command: the package's page opened in the https handler that xdg-mime names, and
// nothing at all when a step of the way is missing.
#include "AppDelegate.h"
#include "BrevantWC.h"
#include "EnvironmentOverride.h"
#include "TemporaryHome.h"
#include "WebBrowserLookup.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kHandlerId = QStringLiteral("standin-browser.desktop");

bool writeFile(const QString &path, const QByteArray &contents)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size();
}

QString packageFolder()
{
    return qEnvironmentVariable("BREVANT_PACKAGE_DIR");
}

constexpr int kTimeout = 20000;

// Whether the help page opened, once the lookup has ended; nothing if it never did.
std::optional<bool> openAndWait(const QString &folder, const QString &page)
{
    std::optional<bool> opened;
    openHelpFile(folder, page, [&opened](bool started) { opened = started; });
    // Times out as nothing, which the caller's comparison reports.
    return QTest::qWaitFor([&opened] { return opened.has_value(); }, kTimeout) ? opened
                                                                               : std::nullopt;
}

} // namespace

class HelpFileTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void openHelpFile_registeredBrowser_opensPackagePage();
    void helpMenu_opensTheIndexPage();
    void openHelpFile_missingStep_returnsFalseAndLaunchesNothing_data();
    void openHelpFile_missingStep_returnsFalseAndLaunchesNothing();
    void openHelpFile_slowBrowserLookup_windowGoesOnMeanwhile();
    void launchCommand_fillsFieldCodes_data();
    void launchCommand_fillsFieldCodes();
    void helpPages_linksLeadToPackagedFiles();

private:
    QString recordPath() const { return mHome.path() + QStringLiteral("/opened.txt"); }
    QString desktopFilePath() const
    {
        return mHome.path() + QStringLiteral("/.local/share/applications/") + kHandlerId;
    }
    void registerHandler(const QByteArray &exec);

    TemporaryHome mHome;
};

void HelpFileTest::initTestCase()
{
    QVERIFY(mHome.isValid());
    QVERIFY(QFileInfo::exists(packageFolder() + QStringLiteral("/HelpFolder/index.html")));
    // The desktop's own lookup would leave the temporary home.
    qunsetenv("XDG_CURRENT_DESKTOP");
    qunsetenv("DESKTOP_SESSION");
    qputenv("XDG_DATA_DIRS", QFile::encodeName(mHome.path() + QStringLiteral("/system")));
}

void HelpFileTest::init()
{
    QFile::remove(recordPath());
    QFile::remove(mHome.path() + QStringLiteral("/.config/mimeapps.list"));
    QFile::remove(desktopFilePath());
}

void HelpFileTest::registerHandler(const QByteArray &exec)
{
    const QString script = mHome.path() + QStringLiteral("/record-url.sh");
    QVERIFY(writeFile(script, "#!/bin/sh\nprintf '%s' \"$1\" > \"$HOME/opened.txt.part\"\n"
                              "mv \"$HOME/opened.txt.part\" \"$HOME/opened.txt\"\n"));
    QVERIFY(QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    QByteArray entry = "[Desktop Entry]\nType=Application\nName=Stand-in\nExec=" + exec + "\n";
    entry.replace("@SCRIPT@", QFile::encodeName(script));
    QVERIFY(writeFile(desktopFilePath(), entry));
    QVERIFY(
        writeFile(mHome.path() + QStringLiteral("/.config/mimeapps.list"),
                  "[Default Applications]\nx-scheme-handler/https=" + kHandlerId.toUtf8() + "\n"));
}

void HelpFileTest::openHelpFile_registeredBrowser_opensPackagePage()
{
    registerHandler("@SCRIPT@ %u");
    QCOMPARE(openAndWait(packageFolder(), QStringLiteral("index")), std::optional<bool>(true));
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(recordPath()), kTimeout);
    QFile record(recordPath());
    QVERIFY(record.open(QIODevice::ReadOnly));
    const QUrl expected = QUrl::fromLocalFile(
        QFileInfo(packageFolder() + QStringLiteral("/HelpFolder/index.html")).absoluteFilePath());
    QCOMPARE(QUrl(QString::fromUtf8(record.readAll())), expected);
}

void HelpFileTest::helpMenu_opensTheIndexPage()
{
    registerHandler("@SCRIPT@ %u");
    AppDelegate delegate(packageFolder());
    delegate.applicationDidFinishLaunching();
    auto *help = delegate.windowController()->findChild<QAction *>(QStringLiteral("actionHelp"));
    QVERIFY(help);
    help->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(recordPath()), kTimeout);
    QFile record(recordPath());
    QVERIFY(record.open(QIODevice::ReadOnly));
    QCOMPARE(QUrl(QString::fromUtf8(record.readAll())).fileName(), QStringLiteral("index.html"));
}

void HelpFileTest::openHelpFile_missingStep_returnsFalseAndLaunchesNothing_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<QByteArray>("exec");
    QTest::addColumn<bool>("registered");
    QTest::newRow("no such help page") << "nosuchpage" << QByteArray("@SCRIPT@ %u") << true;
    QTest::newRow("no https handler registered") << "index" << QByteArray() << false;
    QTest::newRow("handler's program missing")
        << "index" << QByteArray("/nonexistent/browser %u") << true;
    QTest::newRow("handler without a program") << "index" << QByteArray("%u") << true;
}

void HelpFileTest::openHelpFile_missingStep_returnsFalseAndLaunchesNothing()
{
    QFETCH(QString, page);
    QFETCH(QByteArray, exec);
    QFETCH(bool, registered);
    if (registered)
        registerHandler(exec);
    QCOMPARE(openAndWait(packageFolder(), page), std::optional<bool>(false));
    QCOMPARE(openAndWait(mHome.path() + QStringLiteral("/no-package"), QStringLiteral("index")),
             std::optional<bool>(false));
    QVERIFY(!QFileInfo::exists(recordPath()));
}

void HelpFileTest::openHelpFile_slowBrowserLookup_windowGoesOnMeanwhile()
{
    registerHandler("@SCRIPT@ %u");
    // An xdg-mime that answers only when the test lets it, as a slow desktop lookup does.
    const QString bin = mHome.path() + QStringLiteral("/slow-bin");
    const QString gate = mHome.path() + QStringLiteral("/gate");
    QVERIFY(::mkfifo(QFile::encodeName(gate).constData(), 0600) == 0);
    QVERIFY(writeFile(bin + QStringLiteral("/xdg-mime"),
                      "#!/bin/sh\nread answer < \"$HOME/gate\"\necho \"$answer\"\n"));
    QVERIFY(QFile::setPermissions(bin + QStringLiteral("/xdg-mime"),
                                  QFile::ReadOwner | QFile::ExeOwner));
    const EnvironmentOverride path("PATH", QFile::encodeName(bin) + ':' + qgetenv("PATH"));

    std::optional<bool> opened;
    openHelpFile(packageFolder(), QStringLiteral("index"),
                 [&opened](bool started) { opened = started; });
    // The call came back at once, and the event loop still runs while the lookup waits.
    QVERIFY(!opened.has_value());
    bool ticked = false;
    QTimer::singleShot(0, this, [&ticked] { ticked = true; });
    QTRY_VERIFY_WITH_TIMEOUT(ticked, kTimeout);
    QVERIFY(!opened.has_value());

    // Opened without waiting, so a lookup that never started fails the test instead of hanging it.
    int writer = -1;
    QTRY_VERIFY_WITH_TIMEOUT(
        (writer = ::open(QFile::encodeName(gate).constData(), O_WRONLY | O_NONBLOCK)) >= 0,
        kTimeout);
    const QByteArray line = kHandlerId.toUtf8() + '\n';
    QCOMPARE(::write(writer, line.constData(), size_t(line.size())), ssize_t(line.size()));
    ::close(writer);
    QTRY_COMPARE_WITH_TIMEOUT(opened, std::optional<bool>(true), kTimeout);
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(recordPath()), kTimeout);
}

void HelpFileTest::launchCommand_fillsFieldCodes_data()
{
    QTest::addColumn<QByteArray>("exec");
    QTest::addColumn<QStringList>("command");
    const QString url = QStringLiteral("file:///opt/help/index%20page.html");
    const QString path = QStringLiteral("/opt/help/index page.html");
    QTest::newRow("single address") << QByteArray("browser %u") << QStringList{"browser", url};
    QTest::newRow("address list") << QByteArray("browser %U") << QStringList{"browser", url};
    QTest::newRow("file code gives the path")
        << QByteArray("viewer %f") << QStringList{"viewer", path};
    QTest::newRow("code inside an argument")
        << QByteArray("browser --url=%u") << QStringList{"browser", "--url=" + url};
    QTest::newRow("icon, name and location codes dropped")
        << QByteArray("browser %i %c %k %u") << QStringList{"browser", url};
    QTest::newRow("no code appends the address")
        << QByteArray("browser --new-window") << QStringList{"browser", "--new-window", url};
    QTest::newRow("quoted program and literal percent")
        << QByteArray("\"/opt/my browser/run\" 100%% %u")
        << QStringList{"/opt/my browser/run", "100%", url};
}

void HelpFileTest::launchCommand_fillsFieldCodes()
{
    QFETCH(QByteArray, exec);
    QFETCH(QStringList, command);
    QVERIFY(writeFile(desktopFilePath(), "[Desktop Action other]\nExec=wrong\n[Desktop Entry]\n"
                                         "Name=Stand-in\nExec=" +
                                             exec + "\n"));
    const QUrl address = QUrl::fromLocalFile(QStringLiteral("/opt/help/index page.html"));
    QCOMPARE(WebBrowserLookup::launchCommand(desktopFilePath(), address),
             std::optional<QStringList>(command));
}

void HelpFileTest::helpPages_linksLeadToPackagedFiles()
{
    const QDir help(packageFolder() + QStringLiteral("/HelpFolder"));
    const QRegularExpression link(QStringLiteral("(?:href|src)=\"([^\"#:]+)\""));
    const QStringList pages = help.entryList({QStringLiteral("*.html")}, QDir::Files);
    QVERIFY(pages.size() > 1);
    for (const QString &page : pages) {
        QFile file(help.filePath(page));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(file.readAll());
        for (const QRegularExpressionMatch &match : link.globalMatch(text))
            QVERIFY2(help.exists(match.captured(1)),
                     qPrintable(page + u" -> " + match.captured(1)));
    }
}

QTEST_MAIN(HelpFileTest)
#include "tst_helpfile.moc"
