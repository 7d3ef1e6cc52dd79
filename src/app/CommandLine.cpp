#include "CommandLine.h"

#include <QCommandLineParser>

#include <cstdio>

namespace {

const QString programName = QStringLiteral("brevant");
constexpr int usageErrorStatus = 2;

// The options QGuiApplication and QApplication take on Linux, as Qt documents them; their
// values are Qt's to check. Declared so the parser tells them from mistakes, hidden from --help.
QList<QCommandLineOption> qtOptions()
{
    const QStringList withValue{
        QStringLiteral("platform"),      QStringLiteral("platformpluginpath"),
        QStringLiteral("platformtheme"), QStringLiteral("plugin"),
        QStringLiteral("qmljsdebugger"), QStringLiteral("qwindowgeometry"),
        QStringLiteral("qwindowicon"),   QStringLiteral("qwindowtitle"),
        QStringLiteral("session"),       QStringLiteral("display"),
        QStringLiteral("geometry"),      QStringLiteral("style"),
        QStringLiteral("stylesheet")};
    const QStringList flags{QStringLiteral("reverse"), QStringLiteral("widgetcount")};
    QList<QCommandLineOption> options;
    for (const QString &name : withValue)
        options.append(QCommandLineOption(name, QString(), QStringLiteral("value")));
    for (const QString &name : flags)
        options.append(QCommandLineOption(name));
    for (QCommandLineOption &option : options)
        option.setFlags(QCommandLineOption::HiddenFromHelp);
    return options;
}

CommandLineReply usageError(const QString &message)
{
    return {false, usageErrorStatus, QString(),
            programName + QStringLiteral(": ") + message + QStringLiteral("\nTry '") + programName +
                QStringLiteral(" --help' for more information.\n")};
}

QString helpText(const QCommandLineParser &parser)
{
    // Qt's usage line names the program by the path it was started with, or by a placeholder
    // before the application object exists; the rest of Qt's text stays.
    const QString text = parser.helpText();
    return QStringLiteral("Usage: ") + programName + QStringLiteral(" [options]") +
           text.mid(text.indexOf(u'\n'));
}

} // namespace

QStringList commandLineArguments(int argc, char *argv[])
{
    QStringList arguments;
    for (int index = 0; index < argc; ++index)
        arguments.append(QString::fromLocal8Bit(argv[index]));
    return arguments;
}

CommandLineReply readCommandLine(const QStringList &arguments)
{
    QCommandLineParser parser;
    // Qt's options are single words after one dash (-platform, -style=fusion).
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(
        QStringLiteral("Writes Jira queries and work-days lines for sprint metrics.\n"
                       "Qt's standard options, such as -platform and -style, are accepted too."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Displays this help and exits."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Displays the version and exits."));
    parser.addOptions({help, version});
    parser.addOptions(qtOptions());

    if (!parser.parse(arguments))
        return usageError(parser.errorText());
    if (!parser.positionalArguments().isEmpty())
        return usageError(QStringLiteral("Unexpected argument '%1'.")
                              .arg(parser.positionalArguments().constFirst()));
    if (parser.isSet(help))
        return {false, 0, helpText(parser), QString()};
    if (parser.isSet(version))
        return {false, 0, programName + u' ' + QStringLiteral(BREVANT_VERSION) + u'\n', QString()};
    return {};
}

int printReply(const CommandLineReply &reply)
{
    std::fputs(reply.standardOutput.toLocal8Bit().constData(), stdout);
    std::fputs(reply.standardError.toLocal8Bit().constData(), stderr);
    return reply.exitStatus;
}
