// The desktop's default applications and file manager, reached through the freedesktop
// interfaces.
#pragma once

#include "Workspace.h"

class DesktopWorkspace final : public Workspace
{
public:
    bool openURL(const QUrl &address) override;
    bool openFile(const QString &path) override;
    // Asks the desktop (xdg-mime, off the main thread's way) for the default application of the
    // file's type first: with none, the file is left where it is and noApplication runs.
    void openFileWithDefaultApplication(const QString &path, QObject *context,
                                        std::function<void()> noApplication) override;
    // Asks the file manager over D-Bus to show the file; where no file manager answers, the
    // file's folder is opened instead. The root path is not used: the desktop picks the window.
    bool selectFile(const QString &path, const QString &rootPath) override;
};
