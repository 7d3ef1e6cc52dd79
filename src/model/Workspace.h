// The desktop's workspace: default applications and the file manager. Main thread only.
#pragma once

#include <QString>
#include <QUrl>

class Workspace
{
public:
    virtual ~Workspace() = default;
    // Opens a web address in the user's default web browser.
    virtual bool openURL(const QUrl &address) = 0;
    // Opens a file with its default application; a folder opens in the file manager.
    virtual bool openFile(const QString &path) = 0;
    // Shows the file selected in the file manager; an empty root means the main window.
    virtual bool selectFile(const QString &path, const QString &rootPath) = 0;
};
