// The user's web browser: the application registered for https addresses, found through
// xdg-mime and started from its desktop entry. Used so that local pages open in the browser
// rather than in whatever program handles HTML files.
#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>
#include <optional>

namespace WebBrowserLookup {

// Finds the desktop entry file of the https handler without blocking: found runs later, from the
// event loop, with none when xdg-mime names none, fails, hangs or the file is missing.
void findDefaultBrowserDesktopFile(const std::function<void(std::optional<QString>)> &found);
// The program and its arguments that open the address with the given desktop entry; none when
// the entry has no usable Exec line.
std::optional<QStringList> launchCommand(const QString &desktopFile, const QUrl &address);
// Starts the user's web browser with the address; done, when given, runs later from the event
// loop with false when any step failed.
void openInWebBrowser(const QUrl &address, const std::function<void(bool)> &done = {});

} // namespace WebBrowserLookup
