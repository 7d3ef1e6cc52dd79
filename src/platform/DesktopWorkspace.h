// The desktop's default applications and file manager, reached through the freedesktop
// interfaces.
#pragma once

#include "Workspace.h"

class DesktopWorkspace final : public Workspace
{
public:
    bool openURL(const QUrl &address) override;
    bool openFile(const QString &path) override;
    // Asks the file manager over D-Bus to show the file; where no file manager answers, the
    // file's folder is opened instead. The root path is not used: the desktop picks the window.
    bool selectFile(const QString &path, const QString &rootPath) override;
};
