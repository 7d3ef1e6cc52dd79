// The command line read before any window: Qt's own options pass through to the application
// object, help and the version are answered, and mistakes are usage errors.
#include "CommandLine.h"

#include <QRegularExpression>
#include <QTest>

class CommandLineTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readCommandLine_noneOrQtOptions_startsProgram_data();
    void readCommandLine_noneOrQtOptions_startsProgram();
    void readCommandLine_request_answersWithoutStarting_data();
    void readCommandLine_request_answersWithoutStarting();
};

namespace {

QStringList withProgramName(const QStringList &arguments)
{
    return QStringList{QStringLiteral("/usr/bin/brevant")} + arguments;
}

const QString tryHelp = QStringLiteral("\nTry 'brevant --help' for more information.\n");

} // namespace

void CommandLineTest::readCommandLine_noneOrQtOptions_startsProgram_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("no arguments") << QStringList();
    QTest::newRow("platform and its value") << QStringList{"-platform", "offscreen"};
    QTest::newRow("style with an equals sign") << QStringList{"-style=Fusion"};
    QTest::newRow("platform after two dashes") << QStringList{"--platform", "xcb"};
    QTest::newRow("reverse, a flag") << QStringList{"-reverse"};
    QTest::newRow("session restored by the session manager")
        << QStringList{"-session", "10d3c9e5a1000170000000"};
    QTest::newRow("several of Qt's options")
        << QStringList{"-display", ":1", "-qwindowgeometry", "640x480+0+0", "-widgetcount"};
}

void CommandLineTest::readCommandLine_noneOrQtOptions_startsProgram()
{
    QFETCH(QStringList, arguments);
    const CommandLineReply reply = readCommandLine(withProgramName(arguments));
    QVERIFY(reply.startsProgram);
    QCOMPARE(reply.standardOutput, QString());
    QCOMPARE(reply.standardError, QString());
}

void CommandLineTest::readCommandLine_request_answersWithoutStarting_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitStatus");
    QTest::addColumn<QString>("outputPattern");
    QTest::addColumn<QString>("error");

    const QString version = QStringLiteral("^brevant \\d+\\.\\d+\\.\\d+\\n$");
    const QString help = QStringLiteral("^Usage: brevant \\[options\\]\\n.*"
                                        "-h, --help .*-v, --version .*\\n$");
    QTest::newRow("version") << QStringList{"--version"} << 0 << version << QString();
    QTest::newRow("version, short") << QStringList{"-v"} << 0 << version << QString();
    QTest::newRow("version beside a Qt option")
        << QStringList{"-platform", "offscreen", "--version"} << 0 << version << QString();
    QTest::newRow("help") << QStringList{"--help"} << 0 << help << QString();
    QTest::newRow("help, short") << QStringList{"-h"} << 0 << help << QString();
    QTest::newRow("help before version")
        << QStringList{"--version", "--help"} << 0 << help << QString();
    QTest::newRow("unknown option") << QStringList{"--frobnicate"} << 2 << "^$"
                                    << "brevant: Unknown option 'frobnicate'." + tryHelp;
    QTest::newRow("unknown word after one dash")
        << QStringList{"-frobnicate"} << 2 << "^$"
        << "brevant: Unknown option 'frobnicate'." + tryHelp;
    QTest::newRow("unknown option beside help")
        << QStringList{"--help", "--frobnicate"} << 2 << "^$"
        << "brevant: Unknown option 'frobnicate'." + tryHelp;
    QTest::newRow("Qt's option without its value")
        << QStringList{"-platform"} << 2 << "^$"
        << "brevant: Missing value after '-platform'." + tryHelp;
    QTest::newRow("stray argument") << QStringList{"JIRA.csv"} << 2 << "^$"
                                    << "brevant: Unexpected argument 'JIRA.csv'." + tryHelp;
}

void CommandLineTest::readCommandLine_request_answersWithoutStarting()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitStatus);
    QFETCH(QString, outputPattern);
    QFETCH(QString, error);
    const CommandLineReply reply = readCommandLine(withProgramName(arguments));
    QVERIFY(!reply.startsProgram);
    QCOMPARE(reply.exitStatus, exitStatus);
    const QRegularExpression expected(outputPattern,
                                      QRegularExpression::DotMatchesEverythingOption);
    QVERIFY2(expected.match(reply.standardOutput).hasMatch(), qPrintable(reply.standardOutput));
    QCOMPARE(reply.standardError, error);
}

QTEST_GUILESS_MAIN(CommandLineTest)
#include "tst_commandline.moc"
