// The user's web browser: the application registered for https addresses, found through
// xdg-mime and started from its desktop entry. Used so that local pages open in the browser
// rather than in whatever program handles HTML files.
#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

#include <optional>

namespace WebBrowserLookup {

// The desktop entry file of the https handler; none when xdg-mime names none or it is missing.
std::optional<QString> defaultBrowserDesktopFile();
// The program and its arguments that open the address with the given desktop entry; none when
// the entry has no usable Exec line.
std::optional<QStringList> launchCommand(const QString &desktopFile, const QUrl &address);
// Starts the user's web browser with the address; false when any step fails.
bool openInWebBrowser(const QUrl &address);

} // namespace WebBrowserLookup
