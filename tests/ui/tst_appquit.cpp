// The program quits however the user or the desktop asks, also while the browser window is open
// and a Jira command is under way: the process ends, with status 0 and the choices written.
// Runs the program itself on the test's X display, against the stand-in Jira.
#include "DesktopInput.h"
#include "StandinServer.h"
#include "TemporaryHome.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTest>

#include <csignal>

namespace {

enum class Way
{
    FileMenuQuit,
    ControlQ,
    CloseMainWindow,
    Terminate,
    Interrupt,
    HangUp
};

enum class Moment
{
    // The search page has loaded; the chain's first step waits on its timer.
    ChainTimerPending,
    // The export link has been clicked; the stand-in has not answered yet.
    ExportFetchInFlight
};

// Generous: a program that quits takes well under this; one that hangs never ends.
constexpr int kQuitTimeoutMs = 15000;
constexpr int kStartTimeoutMs = 30000;

QByteArray siteAddresses(const QString &base)
{
    QByteArray entries;
    for (const char *key : {"jiraLogin", "jiraSearch", "downloadCSV"}) {
        const QString path = QLatin1String(key) == QLatin1String("jiraLogin")
                                 ? QStringLiteral("/login.jsp")
                                 : QStringLiteral("/issues/");
        entries +=
            "<key>" + QByteArray(key) + "</key><string>" + (base + path).toUtf8() + "</string>\n";
    }
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>\n" +
           entries + "</dict>\n</plist>\n";
}

} // namespace

Q_DECLARE_METATYPE(Way)
Q_DECLARE_METATYPE(Moment)

class AppQuitTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanup();
    void quit_duringJiraCommand_endsWithChoicesWritten_data();
    void quit_duringJiraCommand_endsWithChoicesWritten();

private:
    QString settingsPath() const
    {
        return mHome.path() + QStringLiteral("/.config/quillfen/brevant.conf");
    }
    bool waitForLogServing(const QByteArray &text);
    bool quit(Way way, quint32 mainWindow);
    bool waitForQuit(Way way, quint32 mainWindow);
    // The program's last log lines, on one line, for a failure message.
    QString logTail() const
    {
        return QString::fromUtf8(mLog.right(1500)).replace(QLatin1Char('\n'), QLatin1String(" | "));
    }

    TemporaryHome mHome;
    StandinServer mServer;
    QProcess mProgram;
    QByteArray mLog;
};

void AppQuitTest::initTestCase()
{
    QVERIFY(mHome.isValid());
    QVERIFY(mServer.listen() != 0);
    const QString support =
        mHome.path() + QStringLiteral("/Library/Application Support/quillfen_brevant");
    QVERIFY(QDir().mkpath(support));
    QFile sites(support + QStringLiteral("/SiteURL.plist"));
    QVERIFY(sites.open(QIODevice::WriteOnly));
    QUrl base = mServer.searchURL();
    base.setPath(QString());
    sites.write(siteAddresses(base.toString()));
    sites.close();

    mProgram.setProgram(QCoreApplication::applicationDirPath() + QStringLiteral("/brevant"));
    mProgram.setProcessChannelMode(QProcess::MergedChannels);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // The program runs in real windows on the display, as a user's does.
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    mProgram.setProcessEnvironment(environment);
}

void AppQuitTest::cleanup()
{
    if (mProgram.state() != QProcess::NotRunning) {
        mProgram.kill();
        mProgram.waitForFinished(kQuitTimeoutMs);
    }
}

// Waits for a line of the program's log while the stand-in answers.
bool AppQuitTest::waitForLogServing(const QByteArray &text)
{
    QDeadlineTimer deadline(kStartTimeoutMs);
    while (!mLog.contains(text) && !deadline.hasExpired() &&
           mProgram.state() == QProcess::Running) {
        QTest::qWait(20);
        mLog += mProgram.readAll();
    }
    return mLog.contains(text);
}

bool AppQuitTest::quit(Way way, quint32 mainWindow)
{
    const auto signal = [this](int number) {
        return ::kill(static_cast<pid_t>(mProgram.processId()), number) == 0;
    };
    switch (way) {
    case Way::FileMenuQuit:
        return DesktopInput::pressKeys(mainWindow, {QStringLiteral("alt+f"), QStringLiteral("q")});
    case Way::ControlQ:
        return DesktopInput::pressKeys(mainWindow, {QStringLiteral("ctrl+q")});
    case Way::CloseMainWindow:
        return DesktopInput::requestClose(mainWindow);
    case Way::Terminate:
        return signal(SIGTERM);
    case Way::Interrupt:
        return signal(SIGINT);
    case Way::HangUp:
        return signal(SIGHUP);
    }
    return false;
}

bool AppQuitTest::waitForQuit(Way way, quint32 mainWindow)
{
    // A close request that reaches the toolkit in the moment the browser window first shows is
    // sometimes passed over, and the user clicks the close button again; so does the test.
    if (way != Way::CloseMainWindow)
        return mProgram.waitForFinished(kQuitTimeoutMs);
    QDeadlineTimer deadline(kQuitTimeoutMs);
    while (!mProgram.waitForFinished(2000)) {
        if (deadline.hasExpired() || !DesktopInput::requestClose(mainWindow))
            return false;
    }
    return true;
}

void AppQuitTest::quit_duringJiraCommand_endsWithChoicesWritten_data()
{
    QTest::addColumn<Way>("way");
    QTest::addColumn<Moment>("moment");
    const QList<std::pair<const char *, Way>> ways = {{"File > Quit", Way::FileMenuQuit},
                                                      {"Ctrl+Q", Way::ControlQ},
                                                      {"main window closed", Way::CloseMainWindow},
                                                      {"SIGTERM", Way::Terminate},
                                                      {"SIGINT", Way::Interrupt},
                                                      {"SIGHUP", Way::HangUp}};
    for (const auto &[name, way] : ways) {
        QTest::addRow("%s, chain timer pending", name) << way << Moment::ChainTimerPending;
        QTest::addRow("%s, export fetch in flight", name) << way << Moment::ExportFetchInFlight;
    }
}

void AppQuitTest::quit_duringJiraCommand_endsWithChoicesWritten()
{
    QFETCH(Way, way);
    QFETCH(Moment, moment);
    QFile::remove(settingsPath());
    mLog.clear();
    // The export is asked for and never answered: a fetch in flight whenever the program quits.
    mServer.setExportsHeld(true);
    mProgram.start();
    QVERIFY(mProgram.waitForStarted(kStartTimeoutMs));
    const std::optional<quint32> mainWindow =
        DesktopInput::findWindow(mProgram.processId(), QStringLiteral("Brevant"));
    QVERIFY(mainWindow);

    // Export CSV from the keyboard: the browser window opens and loads the search page.
    QVERIFY(DesktopInput::pressKeys(*mainWindow, {QStringLiteral("ctrl+s")}));
    QVERIFY2(waitForLogServing("Page finished loading"), qPrintable(logTail()));
    if (moment == Moment::ExportFetchInFlight)
        QVERIFY2(waitForLogServing("externalURL is"), qPrintable(logTail()));

    QVERIFY(quit(way, *mainWindow));
    QVERIFY2(waitForQuit(way, *mainWindow), qPrintable(logTail()));
    mLog += mProgram.readAll();
    QCOMPARE(mProgram.exitStatus(), QProcess::NormalExit);
    QCOMPARE(mProgram.exitCode(), 0);
    const QSettings choices(settingsPath(), QSettings::IniFormat);
    QVERIFY(choices.value(QStringLiteral("BV_sprintEndDate")).isValid());
    QVERIFY2(!mLog.contains("Release of profile requested"), qPrintable(logTail()));
}

QTEST_GUILESS_MAIN(AppQuitTest)
#include "tst_appquit.moc"
