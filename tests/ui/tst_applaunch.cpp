// The program itself, started as a user starts it: the choices written when the desktop tells
// it to quit, and restored by the next start.
#include "TemporaryHome.h"

#include <QProcess>
#include <QSettings>
#include <QTest>

#include <csignal>

class AppLaunchTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
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
    mProgram.setProcessChannelMode(QProcess::SeparateChannels);
}

void AppLaunchTest::start()
{
    mProgram.start();
    QVERIFY(mProgram.waitForStarted(30000));
    // The program's first log line comes from the first launch step, after the signals are
    // caught; a signal sent from then on is handled by the event loop, after the whole launch.
    QByteArray log;
    QTRY_VERIFY_WITH_TIMEOUT((log += mProgram.readAllStandardError()).contains("Using "), 30000);
}

void AppLaunchTest::stopWithSignal()
{
    ::kill(static_cast<pid_t>(mProgram.processId()), SIGTERM);
    QVERIFY(mProgram.waitForFinished(30000));
    QCOMPARE(mProgram.exitStatus(), QProcess::NormalExit);
    QCOMPARE(mProgram.exitCode(), 0);
}

void AppLaunchTest::terminate_writesChoices_nextLaunchRestoresThem()
{
    start();
    QVERIFY(!QTest::currentTestFailed());
    stopWithSignal();
    const QVariant firstEnd = storedChoices().value(QStringLiteral("BV_sprintEndDate"));
    QVERIFY(firstEnd.isValid());
    QCOMPARE(storedChoices().value(QStringLiteral("BV_jiraUsername")).toString(),
             QStringLiteral("currentUser()"));
    // The first launch adopted the first engineering template.
    QVERIFY(!storedChoices().value(QStringLiteral("BV_engineeringQueryName")).toString().isEmpty());

    start();
    QVERIFY(!QTest::currentTestFailed());
    stopWithSignal();
    // Had the second launch not restored the end date, it would have stored its own "now".
    QCOMPARE(storedChoices().value(QStringLiteral("BV_sprintEndDate")), firstEnd);
}

QTEST_GUILESS_MAIN(AppLaunchTest)
#include "tst_applaunch.moc"
