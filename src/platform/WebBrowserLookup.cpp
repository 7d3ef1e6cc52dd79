#include "WebBrowserLookup.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTextStream>

namespace {

constexpr int kQueryTimeoutMs = 5000;

std::optional<QString> httpsHandlerId()
{
    QProcess query;
    query.start(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("default"),
                                             QStringLiteral("x-scheme-handler/https")});
    if (!query.waitForFinished(kQueryTimeoutMs)) {
        query.kill();
        query.waitForFinished();
        return std::nullopt;
    }
    if (query.exitStatus() != QProcess::NormalExit || query.exitCode() != 0)
        return std::nullopt;
    const QString id = QString::fromUtf8(query.readAllStandardOutput()).trimmed();
    // A desktop file id is a bare file name; anything else could lead outside the menu folders.
    if (id.isEmpty() || id.contains(u'/') || !id.endsWith(QLatin1String(".desktop")))
        return std::nullopt;
    return id;
}

// The Exec value of the [Desktop Entry] group, still quoted as the file has it.
std::optional<QString> execLine(const QString &desktopFile)
{
    QFile file(desktopFile);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return std::nullopt;
    QTextStream stream(&file);
    bool inEntry = false;
    while (!stream.atEnd()) {
        const QString line = stream.readLine().trimmed();
        if (line.startsWith(u'['))
            inEntry = line == u"[Desktop Entry]";
        else if (inEntry && line.startsWith(QLatin1String("Exec=")))
            return line.mid(5).trimmed();
    }
    return std::nullopt;
}

QString addressArgument(const QUrl &address, bool wantsPath)
{
    return wantsPath && address.isLocalFile() ? address.toLocalFile()
                                              : address.toString(QUrl::FullyEncoded);
}

// Fills one argument's field codes; false when the argument is a field code that expands to
// nothing and has to be dropped.
bool expandFieldCodes(QString &argument, const QUrl &address, bool &addressPlaced)
{
    static const QStringList dropped{QStringLiteral("%i"), QStringLiteral("%c"),
                                     QStringLiteral("%k")};
    if (dropped.contains(argument))
        return false;
    QString expanded;
    for (qsizetype i = 0; i < argument.size(); ++i) {
        if (argument[i] != u'%' || i + 1 == argument.size()) {
            expanded += argument[i];
            continue;
        }
        const QChar code = argument[++i];
        if (code == u'%') {
            expanded += u'%';
        } else if (code == u'u' || code == u'U' || code == u'f' || code == u'F') {
            expanded += addressArgument(address, code == u'f' || code == u'F');
            addressPlaced = true;
        }
    }
    argument = expanded;
    return !argument.isEmpty();
}

} // namespace

namespace WebBrowserLookup {

std::optional<QString> defaultBrowserDesktopFile()
{
    const std::optional<QString> id = httpsHandlerId();
    if (!id)
        return std::nullopt;
    const QString path = QStandardPaths::locate(QStandardPaths::ApplicationsLocation, *id);
    if (path.isEmpty())
        return std::nullopt;
    return path;
}

std::optional<QStringList> launchCommand(const QString &desktopFile, const QUrl &address)
{
    const std::optional<QString> exec = execLine(desktopFile);
    if (!exec)
        return std::nullopt;
    QStringList command;
    bool addressPlaced = false;
    for (QString argument : QProcess::splitCommand(*exec)) {
        if (expandFieldCodes(argument, address, addressPlaced))
            command.append(argument);
    }
    if (command.isEmpty())
        return std::nullopt;
    // An entry that takes no address would start the browser on its home page only.
    if (!addressPlaced)
        command.append(addressArgument(address, false));
    return command;
}

bool openInWebBrowser(const QUrl &address)
{
    const std::optional<QString> desktopFile = defaultBrowserDesktopFile();
    if (!desktopFile)
        return false;
    const std::optional<QStringList> command = launchCommand(*desktopFile, address);
    if (!command)
        return false;
    const QString program = command->first();
    return QProcess::startDetached(program, command->mid(1));
}

} // namespace WebBrowserLookup
