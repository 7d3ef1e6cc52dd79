#include "DesktopWorkspace.h"

#include "Log.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDesktopServices>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QProcess>

namespace {

bool openContainingFolder(const QString &path)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(path).absolutePath()));
}

} // namespace

bool DesktopWorkspace::openURL(const QUrl &address)
{
    return QDesktopServices::openUrl(address);
}

bool DesktopWorkspace::openFile(const QString &path)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void DesktopWorkspace::openFileWithDefaultApplication(const QString &path, QObject *context,
                                                      std::function<void()> noApplication)
{
    auto *query = new QProcess(context);
    const auto answer = [query, path, noApplication = std::move(noApplication)] {
        query->deleteLater();
        const bool known = query->exitStatus() == QProcess::NormalExit && query->exitCode() == 0 &&
                           !query->readAllStandardOutput().trimmed().isEmpty();
        if (!known || !QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
            noApplication();
    };
    QObject::connect(query, &QProcess::finished, context, answer);
    QObject::connect(query, &QProcess::errorOccurred, context,
                     [answer](QProcess::ProcessError error) {
                         if (error == QProcess::FailedToStart)
                             answer();
                     });
    query->start(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("default"),
                                              QMimeDatabase().mimeTypeForFile(path).name()});
}

bool DesktopWorkspace::selectFile(const QString &path, const QString &rootPath)
{
    Q_UNUSED(rootPath)
    if (path.isEmpty())
        return false;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return openContainingFolder(path);
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.FileManager1"),
        QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
    // File managers expect the URIs percent-encoded.
    call << QStringList{QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded)} << QString();
    // Asynchronous, so that a slow or absent file manager never holds up the window.
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(call));
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
                     [path](QDBusPendingCallWatcher *finished) {
                         if (finished->isError()) {
                             logLine(QStringLiteral("The file manager could not show ") + path +
                                     QStringLiteral(": ") + finished->error().message());
                             openContainingFolder(path);
                         }
                         finished->deleteLater();
                     });
    return true;
}
