#include "WebBrowserLookup.h"

#include "Log.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTextStream>
#include <QTimer>

namespace {

// A lookup that takes longer has hung; the window goes on meanwhile either way.
constexpr int kQueryTimeoutMs = 10000;

std::optional<QString> handlerIdFrom(QProcess &query)
{
    if (query.exitStatus() != QProcess::NormalExit || query.exitCode() != 0)
        return std::nullopt;
    const QString id = QString::fromUtf8(query.readAllStandardOutput()).trimmed();
    // A desktop file id is a bare file name; anything else could lead outside the menu folders.
    if (id.isEmpty() || id.contains(u'/') || !id.endsWith(QLatin1String(".desktop")))
        return std::nullopt;
    return id;
}

std::optional<QString> desktopFileOf(const std::optional<QString> &id)
{
    const QString path =
        id ? QStandardPaths::locate(QStandardPaths::ApplicationsLocation, *id) : QString();
    if (path.isEmpty())
        return std::nullopt;
    return path;
}

// Asks xdg-mime without waiting for it: found runs once, from the event loop, with the id.
void queryHttpsHandlerId(const std::function<void(std::optional<QString>)> &found)
{
    auto *query = new QProcess(QCoreApplication::instance());
    auto *timeout = new QTimer(query);
    timeout->setSingleShot(true);
    QObject::connect(timeout, &QTimer::timeout, query, [query] {
        logLine(QStringLiteral("xdg-mime did not answer within %1 seconds and was stopped.")
                    .arg(kQueryTimeoutMs / 1000));
        query->kill();
    });
    QObject::connect(query, &QProcess::finished, query, [query, found] {
        found(handlerIdFrom(*query));
        query->deleteLater();
    });
    // A program that never started sends no finished.
    QObject::connect(query, &QProcess::errorOccurred, query,
                     [query, found](QProcess::ProcessError error) {
                         if (error != QProcess::FailedToStart)
                             return;
                         found(std::nullopt);
                         query->deleteLater();
                     });
    timeout->start(kQueryTimeoutMs);
    query->start(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("default"),
                                              QStringLiteral("x-scheme-handler/https")});
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

void findDefaultBrowserDesktopFile(const std::function<void(std::optional<QString>)> &found)
{
    queryHttpsHandlerId([found](const std::optional<QString> &id) { found(desktopFileOf(id)); });
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

void openInWebBrowser(const QUrl &address, const std::function<void(bool)> &done)
{
    findDefaultBrowserDesktopFile([address, done](const std::optional<QString> &desktopFile) {
        const std::optional<QStringList> command =
            desktopFile ? launchCommand(*desktopFile, address) : std::nullopt;
        const bool started = command && QProcess::startDetached(command->first(), command->mid(1));
        if (done)
            done(started);
    });
}

} // namespace WebBrowserLookup
