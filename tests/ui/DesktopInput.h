// Acting on another program's windows as a user and the desktop do, on the X display the test
// runs on: keys pressed with xdotool, and the close request a window manager sends.
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace DesktopInput {

// The window of that process whose title is exactly title, once it is shown.
std::optional<quint32> findWindow(qint64 processId, const QString &title);

// Gives the window the keyboard focus, then presses each key chord in turn, as xdotool names
// them ("ctrl+q", "alt+f").
bool pressKeys(quint32 window, const QStringList &chords);

// Asks the window to close, as the window manager does for a click on its close button.
bool requestClose(quint32 window);

} // namespace DesktopInput
