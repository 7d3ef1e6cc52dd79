// The desktop's workspace: default applications and the file manager. Main thread only.
#pragma once

#include <QObject>
#include <QString>
#include <QUrl>

#include <functional>

class Workspace
{
public:
    virtual ~Workspace() = default;
    // Opens a web address in the user's default web browser.
    virtual bool openURL(const QUrl &address) = 0;
    // Opens a file with its default application; a folder opens in the file manager.
    virtual bool openFile(const QString &path) = 0;
    // Opens a file with its default application. When the desktop has no application for the
    // file's type, noApplication runs on the main thread, as long as context lives.
    virtual void openFileWithDefaultApplication(const QString &path, QObject *context,
                                                std::function<void()> noApplication)
    {
        Q_UNUSED(context)
        if (!openFile(path))
            noApplication();
    }
    // Shows the file selected in the file manager; an empty root means the main window.
    virtual bool selectFile(const QString &path, const QString &rootPath) = 0;
};
