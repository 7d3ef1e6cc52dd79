#include "DesktopWorkspace.h"

#include "Log.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDesktopServices>
#include <QFileInfo>

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
