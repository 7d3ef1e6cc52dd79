// The stand-in Jira server as a program, for trying the browser automation without a real Jira.
#include "StandinServer.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("jira-standin"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("A stand-in Jira issue navigator on 127.0.0.1."));
    parser.addHelpOption();
    const QCommandLineOption portOption(QStringLiteral("port"),
                                        QStringLiteral("Port to listen on (0: any free one)."),
                                        QStringLiteral("port"), QStringLiteral("0"));
    parser.addOption(portOption);
    const QCommandLineOption capOption(
        QStringLiteral("export-cap"),
        QStringLiteral("Issues per export page, as Jira's tempMax (default 1000); a small cap "
                       "shows the paging of large exports."),
        QStringLiteral("issues"), QStringLiteral("1000"));
    parser.addOption(capOption);
    parser.process(app);

    bool valid = false;
    const uint port = parser.value(portOption).toUInt(&valid);
    QTextStream out(stdout);
    if (!valid || port > 65535) {
        QTextStream(stderr) << "Not a port number: " << parser.value(portOption) << '\n';
        return 2;
    }
    const qlonglong cap = parser.value(capOption).toLongLong(&valid);
    if (!valid || cap < 1) {
        QTextStream(stderr) << "Not a number of issues: " << parser.value(capOption) << '\n';
        return 2;
    }
    StandinServer server;
    server.setExportCap(cap);
    const quint16 bound = server.listen(static_cast<quint16>(port));
    if (bound == 0) {
        QTextStream(stderr) << "Could not listen on 127.0.0.1 port " << port << '\n';
        return 1;
    }
    // The first line tells a caller which port was picked.
    out << "Listening on " << server.loginURL().adjusted(QUrl::RemovePath).toString() << Qt::endl;
    return app.exec();
}
