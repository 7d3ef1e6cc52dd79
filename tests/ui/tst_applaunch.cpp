// The program itself, started as a user starts it: the launch sequence on a first run, the
// choices written when it is told to quit, and restored by the next start.
#include "TemporaryHome.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTest>

#include <csignal>

namespace {

QString supportFolder(const QString &home)
{
    return home + QStringLiteral("/Library/Application Support/quillfen_brevant");
}

// The processes whose parent is the given one, read from /proc.
QStringList childCommands(qint64 pid)
{
    QStringList commands;
    const QDir proc(QStringLiteral("/proc"));
    for (const QString &entry : proc.entryList(QDir::Dirs)) {
        QFile stat(proc.filePath(entry + QStringLiteral("/stat")));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QString text = QString::fromUtf8(stat.readAll());
        // "pid (command) state ppid ...": the command may hold blanks, so split after it.
        const qsizetype close = text.lastIndexOf(u')');
        const QStringList rest = text.mid(close + 2).split(u' ');
        if (close > 0 && rest.size() > 1 && rest[1].toLongLong() == pid)
            commands.append(text.mid(text.indexOf(u'(') + 1, close - text.indexOf(u'(') - 1));
    }
    return commands;
}

} // namespace

class AppLaunchTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void launch_firstRun_installsFilesAndStartsNoBrowser();
    void terminate_writesChoices_nextLaunchRestoresThem();

private:
    void start();
    void stopWithSignal();
    QSettings storedChoices() const
    {
        return QSettings(mHome.path() + QStringLiteral("/.config/quillfen/brevant.conf"),
                         QSettings::IniFormat);
    }

    TemporaryHome mHome;
    QProcess mProgram;
};

void AppLaunchTest::initTestCase()
{
    QVERIFY(mHome.isValid());
    mProgram.setProgram(QCoreApplication::applicationDirPath() + QStringLiteral("/brevant"));
    mProgram.setProcessChannelMode(QProcess::ForwardedErrorChannel);
}

void AppLaunchTest::start()
{
    mProgram.start();
    QVERIFY(mProgram.waitForStarted(30000));
    // The last of the four files is in place once the launch has reached the model.
    QTRY_VERIFY_WITH_TIMEOUT(
        QFileInfo::exists(supportFolder(mHome.path()) + QStringLiteral("/SiteURL.plist")), 30000);
}

void AppLaunchTest::stopWithSignal()
{
    ::kill(static_cast<pid_t>(mProgram.processId()), SIGTERM);
    QVERIFY(mProgram.waitForFinished(30000));
    QCOMPARE(mProgram.exitStatus(), QProcess::NormalExit);
    QCOMPARE(mProgram.exitCode(), 0);
}

void AppLaunchTest::launch_firstRun_installsFilesAndStartsNoBrowser()
{
    start();
    for (const char *name : {"EngineeringQueryText", "IndividualQueryText", "JiraUsers", "SiteURL"})
        QVERIFY(QFileInfo::exists(supportFolder(mHome.path()) + u'/' + QLatin1String(name) +
                                  QStringLiteral(".plist")));
    QVERIFY2(childCommands(mProgram.processId()).filter(QStringLiteral("WebEngine")).isEmpty(),
             "the browser engine started before any Jira command");
    stopWithSignal();
}

void AppLaunchTest::terminate_writesChoices_nextLaunchRestoresThem()
{
    start();
    stopWithSignal();
    const QVariant firstEnd = storedChoices().value(QStringLiteral("BV_sprintEndDate"));
    QVERIFY(firstEnd.isValid());
    QCOMPARE(storedChoices().value(QStringLiteral("BV_jiraUsername")).toString(),
             QStringLiteral("currentUser()"));
    // The first launch adopted the first engineering template.
    QVERIFY(!storedChoices().value(QStringLiteral("BV_engineeringQueryName")).toString().isEmpty());

    start();
    stopWithSignal();
    // Had the second launch not restored the end date, it would have stored its own "now".
    QCOMPARE(storedChoices().value(QStringLiteral("BV_sprintEndDate")), firstEnd);
}

QTEST_GUILESS_MAIN(AppLaunchTest)
#include "tst_applaunch.moc"
